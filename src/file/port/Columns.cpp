#include "file/port/Columns.h"

#include <algorithm>
#include <string>

#include "store/PasswordStore.h"

namespace kavelmark
{
namespace
{

constexpr std::array<std::string_view, 6> kUserWords = {"user", "benutzer", "konto", "account", "login", "key"};
constexpr std::array<std::string_view, 6> kAddressWords = {"host", "url", "server", "web", "adresse", "address"};

template <std::size_t N> bool NamesOneOf(std::string_view label, const std::array<std::string_view, N>& words)
{
    std::string lower(label);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view word) { return lower.find(word) != std::string::npos; });
}

} // namespace

FieldMapping MapLabels(const std::array<std::string_view, 3>& labels)
{
    FieldMapping mapping;
    auto taken = [&](int k) { return k == mapping.password || k == mapping.username; };
    for (int k = 1; k <= 3 && mapping.password == 0; ++k)
    {
        if (PasswordStore::IsSecretLabel(labels[k - 1]))
        {
            mapping.password = k;
        }
    }
    for (int k = 1; k <= 3 && mapping.username == 0; ++k)
    {
        if (!taken(k) && NamesOneOf(labels[k - 1], kUserWords))
        {
            mapping.username = k;
        }
    }
    for (int k = 1; k <= 3 && mapping.url == 0; ++k)
    {
        if (!taken(k) && NamesOneOf(labels[k - 1], kAddressWords))
        {
            mapping.url = k;
        }
    }
    return mapping;
}

} // namespace kavelmark
