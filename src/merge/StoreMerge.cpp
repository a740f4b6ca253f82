#include "merge/StoreMerge.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kavelmark
{
namespace
{

struct Tally
{
    std::size_t ours = 0;
    std::size_t theirs = 0;
    std::size_t target = 0;
    std::size_t kept = 0;
};

struct KeyHash
{
    std::size_t operator()(const RecordKey& key) const
    {
        return static_cast<std::size_t>(key.hash);
    }
};

using Tallies = std::unordered_map<RecordKey, Tally, KeyHash>;

// One side's records with what the merge decided about each.
struct Side
{
    struct Record
    {
        std::string_view text;
        RecordKey key;
        bool kept = false;
    };
    std::vector<Record> records;
};

Side Collect(const PasswordStore& store, Tallies& tallies, std::size_t Tally::*count)
{
    const RecordKeyer& keyer = RecordKeyer::OfThisRun();
    Side side;
    side.records.reserve(store.GetCount());
    for (PasswordStore::Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        std::string_view text = store.GetAt(pos);
        RecordKey key = keyer.KeyOf(text);
        ++(tallies[key].*count);
        side.records.push_back({text, key});
    }
    return side;
}

void Keep(Side& side, Tallies& tallies)
{
    for (Side::Record& record : side.records)
    {
        Tally& tally = tallies[record.key];
        if (tally.kept < tally.target)
        {
            record.kept = true;
            ++tally.kept;
        }
    }
}

// Field 1 of a record: a category's name, or an entry's category.
std::string_view FirstField(std::string_view record)
{
    std::string_view field;
    PasswordStore::ViewFields(record, std::span<std::string_view>(&field, 1));
    return field;
}

using Identity = std::pair<std::string_view, std::string_view>;

Identity EntryIdentity(std::string_view record)
{
    std::string_view fields[2];
    PasswordStore::ViewFields(record, fields);
    return {fields[0], fields[1]};
}

// A category dropped by one side stays while a kept entry still files under it.
void KeepUsedCategories(Side& ours, Side& theirs)
{
    std::set<std::string_view> used;
    std::set<std::string_view> present;
    for (const Side* side : {&ours, &theirs})
    {
        for (const Side::Record& record : side->records)
        {
            if (!record.kept)
            {
                continue;
            }
            if (PasswordStore::IsEntryRecord(record.text))
            {
                used.insert(FirstField(record.text));
            }
            else if (PasswordStore::IsCategoryRecord(record.text))
            {
                present.insert(FirstField(record.text));
            }
        }
    }
    for (Side* side : {&ours, &theirs})
    {
        for (Side::Record& record : side->records)
        {
            if (!record.kept && PasswordStore::IsCategoryRecord(record.text))
            {
                std::string_view name = FirstField(record.text);
                if (used.count(name) != 0 && present.insert(name).second)
                {
                    record.kept = true;
                }
            }
        }
    }
}

MergeCounts Count(const MergeBase& base, const Side& ours, const Side& theirs)
{
    std::set<Identity> oursChanged;
    std::set<Identity> fromOther;
    MergeCounts counts;
    for (const Side::Record& record : ours.records)
    {
        if (record.kept && PasswordStore::IsEntryRecord(record.text) && base.CountOf(record.key) == 0)
        {
            oursChanged.insert(EntryIdentity(record.text));
        }
    }
    for (const Side::Record& record : theirs.records)
    {
        if (record.kept && PasswordStore::IsEntryRecord(record.text))
        {
            ++counts.fromOther;
            Identity identity = EntryIdentity(record.text);
            fromOther.insert(identity);
            if (oursChanged.count(identity) != 0)
            {
                ++counts.twice;
                std::pair<std::string, std::string> named(identity.first, identity.second);
                if (std::find(counts.twiceEntries.begin(), counts.twiceEntries.end(), named) ==
                    counts.twiceEntries.end())
                {
                    counts.twiceEntries.push_back(std::move(named));
                }
            }
        }
    }
    for (const Side::Record& record : ours.records)
    {
        if (!record.kept && PasswordStore::IsEntryRecord(record.text) &&
            fromOther.count(EntryIdentity(record.text)) == 0)
        {
            ++counts.deletedThere;
        }
    }
    return counts;
}

} // namespace

MergeCounts MergeStores(const MergeBase& base, const PasswordStore& ours, const PasswordStore& theirs,
                        PasswordStore& merged)
{
    Tallies tallies;
    Side oursSide = Collect(ours, tallies, &Tally::ours);
    Side theirsSide = Collect(theirs, tallies, &Tally::theirs);
    for (auto& [key, tally] : tallies)
    {
        if (base.Captured())
        {
            const std::size_t inBase = base.CountOf(key);
            tally.target = tally.ours + tally.theirs > inBase ? tally.ours + tally.theirs - inBase : 0;
        }
        else
        {
            tally.target = std::max(tally.ours, tally.theirs);
        }
    }
    Keep(oursSide, tallies);
    Keep(theirsSide, tallies);
    KeepUsedCategories(oursSide, theirsSide);
    MergeCounts counts = Count(base, oursSide, theirsSide);

    merged.RemoveAll();
    std::set<Identity> twice;
    for (const auto& [category, name] : counts.twiceEntries)
    {
        twice.emplace(category, name);
    }
    std::vector<bool> placed(theirsSide.records.size(), false);
    for (const Side::Record& record : oursSide.records)
    {
        if (!record.kept)
        {
            continue;
        }
        merged.AddTail(record.text);
        if (!PasswordStore::IsEntryRecord(record.text) || twice.count(EntryIdentity(record.text)) == 0)
        {
            continue;
        }
        // Their version beside ours, so that the user sees both and keeps one.
        const Identity identity = EntryIdentity(record.text);
        for (std::size_t i = 0; i < theirsSide.records.size(); ++i)
        {
            const Side::Record& theirs = theirsSide.records[i];
            if (theirs.kept && !placed[i] && PasswordStore::IsEntryRecord(theirs.text) &&
                EntryIdentity(theirs.text) == identity)
            {
                merged.AddTail(theirs.text);
                placed[i] = true;
            }
        }
    }
    for (std::size_t i = 0; i < theirsSide.records.size(); ++i)
    {
        if (theirsSide.records[i].kept && !placed[i])
        {
            merged.AddTail(theirsSide.records[i].text);
        }
    }
    merged.AddMissingBuiltInCategories();
    return counts;
}

} // namespace kavelmark
