#pragma once

#include <cstdint>
#include <vector>

#include "platform/SecureString.h"

namespace kavelmark
{

// The passwords this session held for its file or was given for another version of it, newest
// first, in wiped memory: a version from another device is tried with each before the user is
// asked, so that one asked once is not asked again.
class KnownPasswords
{
public:
    struct Known
    {
        SecureString password;
        std::uint64_t seed = 0;
    };

    void Add(const SecureString& password, std::uint64_t seed);
    void Clear()
    {
        known_.clear();
    }
    const std::vector<Known>& All() const
    {
        return known_;
    }

private:
    static constexpr std::size_t kKept = 8;
    std::vector<Known> known_;
};

} // namespace kavelmark
