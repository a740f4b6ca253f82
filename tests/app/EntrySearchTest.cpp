#include <gtest/gtest.h>

#include "app/EntrySearch.h"

namespace kavelmark
{
namespace
{

TEST(EntrySearchTest, FoldsEveryCapitalOfCodePage1252AndNothingElse)
{
    // Capitals A-Z, \xC0-\xDE but the multiplication sign \xD7, and \x8A \x8C \x8E \x9F
    // (Š Œ Ž Ÿ) have small letters 0x20 (0x10, 0x60 for Ÿ) further on.
    EXPECT_EQ(EntrySearch::Fold("M\xDCLLER \xC4\xD6 \xC0\xDE"), "m\xFCller \xE4\xF6 \xE0\xFE");
    EXPECT_EQ(EntrySearch::Fold("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
    // Not letters, or small already: unchanged.
    EXPECT_EQ(EntrySearch::Fold("\xD7\xDF\xFC 1-9 @[`{"), "\xD7\xDF\xFC 1-9 @[`{");
}

TEST(EntrySearchTest, GoesRoundTheStoreFromTheEntryAfterTheGivenOne)
{
    PasswordStore store;
    const PasswordStore::Position a = store.AddEntry("FTP", "Alpha", "", "x", "", "");
    const PasswordStore::Position b = store.AddEntry("FTP", "Beta", "", "x", "", "");
    const PasswordStore::Position c = store.AddEntry("FTP", "Gamma", "", "y", "", "");
    EntrySearch search(store);
    EXPECT_EQ(search.FindNext("X", {}), a);
    EXPECT_EQ(search.FindNext("X", a), b);
    EXPECT_EQ(search.FindNext("X", b), a);
    // The only match is the entry searched from: found last, after the round.
    EXPECT_EQ(search.FindNext("gamma", c), c);
    EXPECT_FALSE(search.FindNext("", {}));
    EXPECT_FALSE(search.FindNext("delta", c));
}

} // namespace
} // namespace kavelmark
