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

// One entry alone in a store, searched both ways. "Bank" hides its second value; "Unbekannt"
// has no category record, so nothing of its entries is secret.
TEST(EntrySearchTest, LooksAtTheShownNameAndDescriptionAndTheValuesThatAreNotSecret)
{
    struct Case
    {
        const char* why;
        const char* category;
        const char* name;
        const char* description;
        const char* values[3];
        const char* text;
        bool found;
    };
    const Case cases[] = {
        {"a plain value", "Bank", "Giro", "", {"DE12", "4711", "Mitte"}, "de12", true},
        {"a secret value", "Bank", "Giro", "", {"DE12", "4711", "Mitte"}, "4711", false},
        {"a name without placeholder, folded", "Bank", "M\xDCLLER", "", {"", "", ""}, "m\xFCller", true},
        {"a placeholder inside the name",
         "Bank",
         "Konto $1 alt",
         "",
         {"DE12", "4711", "Mitte"},
         "konto de12 alt",
         true},
        {"the placeholder as typed", "Bank", "Konto $1", "", {"DE12", "4711", "Mitte"}, "$1", false},
        {"a placeholder at the end", "Bank", "Giro", "bei $3", {"DE12", "4711", "Mitte"}, "BEI MITTE", true},
        {"a secret placeholder shows its mask", "Bank", "Giro $2", "", {"DE12", "4711", "Mitte"}, "giro **", true},
        {"a secret placeholder hides its value", "Bank", "Giro $2", "", {"DE12", "4711", "Mitte"}, "giro 4711", false},
        {"a name that is only a secret placeholder", "Bank", "$2", "", {"DE12", "4711", "Mitte"}, "**", true},
        {"a secret placeholder that a plain value brings in", "Bank", "$1", "", {"x$2", "4711", ""}, "x**", true},
        {"... and the secret value it stands for", "Bank", "$1", "", {"x$2", "4711", ""}, "x4711", false},
        {"a dollar that is no placeholder", "Bank", "Preis $5", "", {"", "", ""}, "preis $5", true},
        {"a category without record: all values", "Unbekannt", "Giro", "", {"DE12", "4711", "Mitte"}, "4711", true},
        {"a category without record: shown in clear", "Unbekannt", "Giro $2", "", {"", "4711", ""}, "giro 4711", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.why);
        PasswordStore store;
        store.AddCategory("Bank", "Konto", "PIN (*)", "Filiale");
        const PasswordStore::Position entry =
            store.AddEntry(c.category, c.name, c.description, c.values[0], c.values[1], c.values[2]);
        const EntrySearch search(store);
        EXPECT_EQ(search.FindNext(c.text, {}) == entry, c.found);
        EXPECT_EQ(search.Matches(entry, c.text), c.found);
    }
}

TEST(EntrySearchTest, TheFirstRecordOfACategoryTellsWhatIsSecretWhereverItStands)
{
    PasswordStore store;
    const PasswordStore::Position entry = store.AddEntry("Tresor", "Fach", "", "12", "4711", "Keller");
    store.AddCategory("Tresor", "Nummer", "Code (*)", "Ort");
    store.AddCategory("Tresor", "Nummer", "Code", "Ort");
    const EntrySearch search(store);
    EXPECT_FALSE(search.FindNext("4711", {}));
    EXPECT_FALSE(search.Matches(entry, "4711"));
    EXPECT_EQ(search.FindNext("keller", {}), entry);
}

TEST(EntrySearchTest, AValueThatNoSeparatorClosesIsNotSearched)
{
    // A damaged file can hold such a record; its last value reads as empty everywhere.
    PasswordStore store;
    const PasswordStore::Position entry = store.AddTail("_E__|_FTP_|_Giro_|__|_DE12_|__|_Mitte");
    const EntrySearch search(store);
    EXPECT_EQ(search.FindNext("de12", {}), entry);
    EXPECT_FALSE(search.FindNext("mitte", {}));
}

} // namespace
} // namespace kavelmark
