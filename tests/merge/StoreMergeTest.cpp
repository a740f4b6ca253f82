#include "merge/StoreMerge.h"

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/BuiltInCategories.h"

namespace kavelmark
{
namespace
{

// Records in shorthand: "Cat/name=value" is an entry with that first value, "[Cat]" a category.
using Records = std::vector<std::string>;

PasswordStore StoreOf(const Records& records)
{
    PasswordStore store;
    for (const std::string& record : records)
    {
        if (record.front() == '[')
        {
            store.AddCategory(record.substr(1, record.size() - 2), "User", "PIN (*)", "");
            continue;
        }
        const std::size_t slash = record.find('/');
        const std::size_t equals = record.find('=');
        store.AddEntry(record.substr(0, slash), record.substr(slash + 1, equals - slash - 1), "",
                       record.substr(equals + 1), "", "");
    }
    return store;
}

bool IsBuiltIn(std::string_view record)
{
    std::string_view name;
    PasswordStore::ViewFields(record, std::span<std::string_view>(&name, 1));
    for (const BuiltInCategory& builtIn : BuiltInCategoryTable)
    {
        if (PasswordStore::IsCategoryRecord(record) && name == builtIn.name)
        {
            return true;
        }
    }
    return false;
}

// The store's records other than the built-in categories, in shorthand.
Records ShorthandOf(const PasswordStore& store)
{
    Records records;
    for (PasswordStore::Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        std::string_view record = store.GetAt(pos);
        if (IsBuiltIn(record))
        {
            continue;
        }
        std::string_view fields[4];
        PasswordStore::ViewFields(record, fields);
        records.push_back(PasswordStore::IsCategoryRecord(record)
                              ? "[" + std::string(fields[0]) + "]"
                              : std::string(fields[0]) + "/" + std::string(fields[1]) + "=" + std::string(fields[3]));
    }
    return records;
}

// What the counts of a case must be: from the other side, deleted there, twice.
struct Counted
{
    std::size_t fromOther;
    std::size_t deletedThere;
    std::size_t twice;
};

struct MergeCase
{
    const char* name;
    bool hasBase;
    Records base;
    Records ours;
    Records theirs;
    Records merged;
    Counted counts;
};

// Expectations worked out by hand from the rule max(0, ours + theirs - base), or max(ours, theirs)
// without a base.
const MergeCase kCases[] = {
    {"AddedHere", true, {"W/a=1"}, {"W/a=1", "W/b=1"}, {"W/a=1"}, {"W/a=1", "W/b=1"}, {0, 0, 0}},
    {"AddedThere", true, {"W/a=1"}, {"W/a=1"}, {"W/a=1", "W/c=1"}, {"W/a=1", "W/c=1"}, {1, 0, 0}},
    {"DeletedThere", true, {"W/a=1", "W/b=1"}, {"W/a=1", "W/b=1"}, {"W/a=1"}, {"W/a=1"}, {0, 1, 0}},
    {"DeletedHere", true, {"W/a=1", "W/b=1"}, {"W/a=1"}, {"W/a=1", "W/b=1"}, {"W/a=1"}, {0, 0, 0}},
    {"ChangedThere", true, {"W/a=1"}, {"W/a=1"}, {"W/a=2"}, {"W/a=2"}, {1, 0, 0}},
    {"ChangedHere", true, {"W/a=1"}, {"W/a=2"}, {"W/a=1"}, {"W/a=2"}, {0, 0, 0}},
    // Both sides made the same change apart: the rule counts two additions.
    {"ChangedOnBothAlike", true, {"W/a=1"}, {"W/a=2"}, {"W/a=2"}, {"W/a=2", "W/a=2"}, {1, 0, 1}},
    {"ChangedOnBothApart", true, {"W/a=1"}, {"W/a=2"}, {"W/a=3"}, {"W/a=2", "W/a=3"}, {1, 0, 1}},
    {"DeletedHereChangedThere", true, {"W/a=1"}, {}, {"W/a=2"}, {"W/a=2"}, {1, 0, 0}},
    {"ChangedHereDeletedThere", true, {"W/a=1"}, {"W/a=2"}, {}, {"W/a=2"}, {0, 0, 0}},
    {"AddedAlikeOnBoth", true, {}, {"W/a=1"}, {"W/a=1"}, {"W/a=1", "W/a=1"}, {1, 0, 1}},
    {"DuplicatesCounted",
     true,
     {"W/a=1", "W/a=1"},
     {"W/a=1", "W/a=1", "W/a=1"},
     {"W/a=1"},
     {"W/a=1", "W/a=1"},
     {0, 1, 0}},
    {"OrderOursThenTheirAdditions",
     true,
     {"W/a=1"},
     {"W/b=1", "W/a=1", "W/c=1"},
     {"W/d=1", "W/a=1", "W/e=1"},
     {"W/b=1", "W/a=1", "W/c=1", "W/d=1", "W/e=1"},
     {2, 0, 0}},
    {"CategoryDeletedThereStaysForANewEntryHere",
     true,
     {"[Bank]", "Bank/x=1"},
     {"[Bank]", "Bank/x=1", "Bank/y=1"},
     {},
     {"[Bank]", "Bank/y=1"},
     {0, 1, 0}},
    {"CategoryDeletedHereComesBackForANewEntryThere",
     true,
     {"[Bank]"},
     {},
     {"[Bank]", "Bank/z=1"},
     {"[Bank]", "Bank/z=1"},
     {1, 0, 0}},
    {"CategoryDeletedOnBothWithItsEntries", true, {"[Bank]", "Bank/x=1"}, {}, {}, {}, {0, 0, 0}},
    {"CopyWithoutBaseKeepsEitherSide",
     false,
     {},
     {"W/a=1", "W/b=1"},
     {"W/a=2", "W/b=1", "W/c=1"},
     {"W/a=1", "W/a=2", "W/b=1", "W/c=1"},
     {2, 0, 1}},
    {"CopyWithoutBaseKeepsTheLargerCount", false, {}, {"W/a=1"}, {"W/a=1", "W/a=1"}, {"W/a=1", "W/a=1"}, {1, 0, 1}},
};

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << c.name;
}

class StoreMergeTest : public testing::TestWithParam<MergeCase>
{
};

TEST_P(StoreMergeTest, KeepsWhatEitherSideChanged)
{
    const MergeCase& c = GetParam();
    MergeBase base;
    if (c.hasBase)
    {
        base.Capture(StoreOf(c.base));
    }
    PasswordStore merged;
    merged.AddEntry("W", "left over", "", "", "", "");
    const MergeCounts counts = MergeStores(base, StoreOf(c.ours), StoreOf(c.theirs), merged);
    EXPECT_EQ(ShorthandOf(merged), c.merged);
    EXPECT_EQ(counts.fromOther, c.counts.fromOther);
    EXPECT_EQ(counts.deletedThere, c.counts.deletedThere);
    EXPECT_EQ(counts.twice, c.counts.twice);
}

INSTANTIATE_TEST_SUITE_P(Cases, StoreMergeTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<MergeCase>& info) { return info.param.name; });

// The user picks which of two versions to keep: the merge names them and puts them together.
TEST(StoreMergeTwiceTest, EntriesKeptTwiceAreNamedAndStandTogether)
{
    MergeBase base;
    base.Capture(StoreOf({"W/a=1", "W/b=1", "B/x=1"}));
    PasswordStore merged;
    const MergeCounts counts =
        MergeStores(base, StoreOf({"W/a=2", "W/b=1", "B/x=2"}), StoreOf({"W/c=1", "B/x=3", "W/b=1", "W/a=3"}), merged);
    EXPECT_EQ(ShorthandOf(merged), (Records{"W/a=2", "W/a=3", "W/b=1", "B/x=2", "B/x=3", "W/c=1"}));
    EXPECT_EQ(counts.twice, 2u);
    EXPECT_EQ(counts.twiceEntries, (std::vector<std::pair<std::string, std::string>>{{"B", "x"}, {"W", "a"}}));
}

TEST(StoreMergeBuiltInsTest, TheBuiltInCategoriesAreAlwaysThere)
{
    MergeBase base;
    base.Capture(PasswordStore());
    PasswordStore ours;
    ours.RemoveAll();
    PasswordStore theirs;
    theirs.RemoveAll();
    PasswordStore merged;
    MergeStores(base, ours, theirs, merged);
    EXPECT_EQ(merged.GetCount(), BuiltInCategoryTable.size());
}

TEST(MergeBaseTest, MatchesTheSameRecordsInAnyOrderOnly)
{
    MergeBase base;
    EXPECT_FALSE(base.Matches(StoreOf({})));
    base.Capture(StoreOf({"W/a=1", "W/b=1"}));
    EXPECT_TRUE(base.Matches(StoreOf({"W/a=1", "W/b=1"})));
    EXPECT_TRUE(base.Matches(StoreOf({"W/b=1", "W/a=1"})));
    EXPECT_FALSE(base.Matches(StoreOf({"W/a=1", "W/b=2"})));
    EXPECT_FALSE(base.Matches(StoreOf({"W/a=1", "W/b=1", "W/b=1"})));
    EXPECT_FALSE(base.Matches(StoreOf({"W/a=1"})));
}

} // namespace
} // namespace kavelmark
