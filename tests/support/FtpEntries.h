#pragma once

// Stores written in short: entries as "name=value" in the category FTP, as the sync tests use them.

#include <string>
#include <string_view>
#include <vector>

#include "store/PasswordStore.h"

namespace kavelmark::testing
{

inline PasswordStore StoreOf(const std::vector<std::string>& entries)
{
    PasswordStore store;
    for (const std::string& entry : entries)
    {
        const std::size_t equals = entry.find('=');
        store.AddEntry("FTP", entry.substr(0, equals), "", entry.substr(equals + 1), "", "");
    }
    return store;
}

inline std::vector<std::string> EntriesOf(const PasswordStore& store)
{
    std::vector<std::string> entries;
    for (PasswordStore::Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        if (PasswordStore::IsEntryRecord(store.GetAt(pos)))
        {
            std::string_view fields[4];
            PasswordStore::ViewFields(store.GetAt(pos), fields);
            entries.push_back(std::string(fields[1]) + "=" + std::string(fields[3]));
        }
    }
    return entries;
}

} // namespace kavelmark::testing
