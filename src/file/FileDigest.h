#pragma once

#include <array>
#include <cstddef>
#include <memory>

namespace kavelmark
{

// The digest by which the change check tells a file's bytes apart: VMAC-128 under a key drawn
// at random once per process. Digests are only ever compared inside the process that made
// them, so they need no fixed key; a keyed universal hash runs several times faster than
// SHA-256, and without the key nobody can make two files that it does not tell apart.
class FileDigest
{
public:
    static constexpr std::size_t kSize = 16;
    using Value = std::array<unsigned char, kSize>;

    FileDigest();
    ~FileDigest();
    FileDigest(const FileDigest&) = delete;
    FileDigest& operator=(const FileDigest&) = delete;

    void Update(const void* data, std::size_t size);
    Value Final();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace kavelmark
