// What the benchmarks share: the stores they measure and a look at the process's memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "store/BuiltInCategories.h"
#include "store/PasswordStore.h"

namespace kavelmark::bench
{

// Entries spread over the seven built-in categories and one more ("Eigene", whose second value
// is secret) in turn, each name and description with placeholders, as the list shows them.
inline void AddMixedEntries(PasswordStore& store, std::int64_t entries, std::string_view description)
{
    constexpr std::string_view kOwnCategory = "Eigene";
    store.AddCategory(kOwnCategory, "Key", "Secret (*)", "Note");
    const std::int64_t kinds = static_cast<std::int64_t>(BuiltInCategoryTable.size()) + 1;
    for (std::int64_t i = 0; i < entries; ++i)
    {
        const auto kind = static_cast<std::size_t>(i % kinds);
        const std::string_view category =
            kind < BuiltInCategoryTable.size() ? BuiltInCategoryTable[kind].name : kOwnCategory;
        const std::string n = std::to_string(i);
        store.AddEntry(category, "Login $1 " + n, description, "user" + n, "pw" + n, "host" + n);
    }
}

// Entries of one category with values of a real file's length, for the file benches.
inline PasswordStore MakeWebSiteStore(std::int64_t entries)
{
    PasswordStore store;
    for (std::int64_t i = 0; i < entries; ++i)
    {
        const std::string n = std::to_string(i);
        store.AddEntry("Web-Site", "Konto " + n + " bei $3", "Zugang Nummer " + n, "benutzer" + n,
                       "Kennwort-" + n + "-xY7#", "www.beispiel-" + n + ".de");
    }
    return store;
}

// A line of /proc/self/status in kilobytes ("VmRSS:", "VmHWM:"); 0 when missing.
inline std::size_t StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
    {
        if (line.rfind(field, 0) == 0)
        {
            return std::strtoul(line.c_str() + std::string(field).size(), nullptr, 10);
        }
    }
    return 0;
}

} // namespace kavelmark::bench
