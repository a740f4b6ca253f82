#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "store/BuiltInCategories.h"
#include "store/PasswordStore.h"

namespace kavelmark
{
namespace
{

using Position = PasswordStore::Position;

std::string Str(const SecureString& s)
{
    return std::string(s.data(), s.size());
}

std::vector<std::string> Texts(const PasswordStore& store)
{
    std::vector<std::string> texts;
    for (Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        texts.push_back(Str(store.GetAt(pos)));
    }
    return texts;
}

std::vector<std::string> CategoryNames(const PasswordStore& store)
{
    std::vector<std::string> names;
    for (Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        const std::string text = Str(store.GetAt(pos));
        if (text.starts_with("_C_"))
        {
            names.push_back(text.substr(6, text.find("_|_", 6) - 6));
        }
    }
    return names;
}

// A store as a load leaves it just before the missing categories are added.
PasswordStore EmptyStore()
{
    PasswordStore store;
    store.RemoveAll();
    return store;
}

TEST(PasswordStore, NewStoreHoldsTheSevenBuiltInCategoriesInOrder)
{
    const PasswordStore store;
    EXPECT_EQ(Texts(store), (std::vector<std::string>{
                                "_C__|_FTP_|_User_|_Password (*)_|_Host_|_",
                                "_C__|_DF\xDC_|_User_|_Password (*)_|_Phone No_|_",
                                "_C__|_TELNET_|_User_|_Password (*)_|_Host_|_",
                                "_C__|_Web-Site_|_User_|_Password (*)_|_Host_|_",
                                "_C__|_PIN/TAN_|_Konto_|_PIN (*)_|_TAN (*)_|_",
                                "_C__|_Datenbank_|_User_|_Password (*)_|_Host_|_",
                                "_C__|_ Hmm?_|_Key_|_Password (*)_|_Details_|_",
                            }));
    EXPECT_FALSE(store.FindNextEntry({}));
}

TEST(PasswordStore, AddMissingBuiltInCategories)
{
    const std::vector<std::string> allNames = {"FTP", "DF\xDC", "TELNET", "Web-Site", "PIN/TAN", "Datenbank", " Hmm?"};
    {
        SCOPED_TRACE("file with FTP and PIN/TAN only");
        PasswordStore store = EmptyStore();
        store.AddCategory("FTP", "a", "b", "c");
        store.AddCategory("PIN/TAN", "Konto", "PIN (*)", "TAN (*)");
        store.AddMissingBuiltInCategories();
        EXPECT_EQ(CategoryNames(store),
                  (std::vector<std::string>{"FTP", "PIN/TAN", "DF\xDC", "TELNET", "Web-Site", "Datenbank", " Hmm?"}));
        // The file's own labels stay.
        EXPECT_EQ(Str(store.GetCategoryLabel(store.FindCategory("FTP"), 1)), "a");
    }
    {
        SCOPED_TRACE("\" Hmm?\" with other labels");
        PasswordStore store = EmptyStore();
        store.AddEntry(" Hmm?", "n", "d", "1", "2", "3");
        store.AddCategory(" Hmm?", "Schl\xFCssel", "Geheim", "Notiz");
        store.AddMissingBuiltInCategories();
        const std::vector<std::string> expected = {" Hmm?",    "FTP",     "DF\xDC",   "TELNET",
                                                   "Web-Site", "PIN/TAN", "Datenbank"};
        EXPECT_EQ(CategoryNames(store), expected);
        EXPECT_EQ(Str(store.GetCategoryLabel(store.FindCategory(" Hmm?"), 2)), "Geheim");
        EXPECT_EQ(store.GetCount(), 8u);
    }
    {
        SCOPED_TRACE("\"Hmm?\" without the blank is another category");
        PasswordStore store = EmptyStore();
        store.AddCategory("Hmm?", "Key", "Password (*)", "Details");
        store.AddMissingBuiltInCategories();
        std::vector<std::string> expected = {"Hmm?"};
        expected.insert(expected.end(), allNames.begin(), allNames.end());
        EXPECT_EQ(CategoryNames(store), expected);
    }
    {
        SCOPED_TRACE("complete store is left alone");
        PasswordStore store;
        store.AddMissingBuiltInCategories();
        EXPECT_EQ(CategoryNames(store), allNames);
    }
}

TEST(PasswordStore, BuiltInTableMatchesTheNewStore)
{
    const PasswordStore store;
    ASSERT_EQ(CategoryNames(store).size(), BuiltInCategoryTable.size());
    Position pos = store.GetHeadPosition();
    for (const auto& row : BuiltInCategoryTable)
    {
        SCOPED_TRACE(std::string(row.name));
        EXPECT_EQ(store.FindCategory(row.name), pos);
        EXPECT_EQ(Str(store.GetCategoryLabel(pos, 1)), row.label1);
        EXPECT_EQ(Str(store.GetCategoryLabel(pos, 2)), row.label2);
        EXPECT_EQ(Str(store.GetCategoryLabel(pos, 3)), row.label3);
        EXPECT_TRUE(PasswordStore::IsSecretLabel(row.label2));
        pos = store.GetNextPosition(pos);
    }
}

TEST(PasswordStore, IsSecretLabel)
{
    struct Case
    {
        const char* label;
        bool secret;
    };
    const Case cases[] = {
        {"Password (*)", true}, {"Password(*)", true}, {"(*)", true},  {"Password (*) ", false},
        {"Password", false},    {"", false},           {"*)", false},  {"(*", false},
        {"PIN (*)x", false},    {"(+)", false},        {"((*)", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(PasswordStore::IsSecretLabel(c.label), c.secret);
    }
}

TEST(PasswordStore, EntryFieldsAndTheirEdges)
{
    PasswordStore store;
    const Position e = store.AddEntry("FTP", "name", "", "user", "pw", "host");
    ASSERT_TRUE(e);
    EXPECT_EQ(Str(store.GetAt(e)), "_E__|_FTP_|_name_|__|_user_|_pw_|_host_|_");
    EXPECT_EQ(Str(store.GetEntryCategory(e)), "FTP");
    EXPECT_EQ(Str(store.GetEntryName(e)), "name");
    EXPECT_EQ(Str(store.GetEntryDescription(e)), "");
    EXPECT_EQ(Str(store.GetEntryValue(e, 1)), "user");
    EXPECT_EQ(Str(store.GetEntryValue(e, 2)), "pw");
    EXPECT_EQ(Str(store.GetEntryValue(e, 3)), "host");
    EXPECT_EQ(Str(store.GetEntryField(e, 6)), "host");
    EXPECT_EQ(Str(store.GetEntryField(e, 7)), "");
    EXPECT_EQ(Str(store.GetEntryField(e, 0)), "");
    EXPECT_EQ(Str(store.GetEntryValue(e, 0)), "");
    EXPECT_EQ(Str(store.GetEntryValue(e, 4)), "");
    for (int n = 0; n <= 7; ++n)
    {
        EXPECT_EQ(Str(store.GetEntryField({}, n)), "");
    }
    const Position ftp = store.FindCategory("FTP");
    EXPECT_EQ(Str(store.GetCategoryLabel(ftp, 0)), "");
    EXPECT_EQ(Str(store.GetCategoryLabel(ftp, 4)), "");
    EXPECT_EQ(Str(store.GetCategoryLabel({}, 1)), "");
}

TEST(PasswordStore, FindCategoryIsExactAndHonoursTheStart)
{
    PasswordStore store;
    store.AddEntry("TELNET", "x", "", "", "", "");
    const Position second = store.AddCategory("FTP", "other", "", "");
    const Position first = store.FindCategory("FTP");
    EXPECT_EQ(first, store.GetHeadPosition());
    EXPECT_EQ(store.FindCategory("FTP", store.GetNextPosition(first)), second);
    EXPECT_EQ(store.FindCategory("FTP", second), second);
    EXPECT_FALSE(store.FindCategory("ftp"));
    EXPECT_FALSE(store.FindCategory("FTP "));
    EXPECT_FALSE(store.FindCategory("Hmm?"));
    EXPECT_FALSE(store.FindCategory("x")); // entry names are no categories
    EXPECT_FALSE(store.FindCategory("TELNET", store.GetNextPosition(store.FindCategory("TELNET"))));
}

TEST(PasswordStore, ExpandDisplayText)
{
    PasswordStore store;
    store.AddCategory("Plain", "A", "B", "C");
    struct Case
    {
        const char* category;
        const char* text;
        const char* values[3];
        const char* expected;
    };
    const Case cases[] = {
        {" Hmm?", "$1", {"new key", "new password", "new details"}, "new key"},
        {" Hmm?", "$3", {"new key", "new password", "new details"}, "new details"},
        {" Hmm?", "$2", {"new key", "new password", "new details"}, "**"},
        {"PIN/TAN", "$2/$3", {"k", "1234", "5678"}, "**/***"},
        {"PIN/TAN", "$1 $1", {"konto", "", ""}, "konto konto"},
        {"FTP", "$1@$3 ($2)", {"u", "p", "h"}, "u@h (**)"},
        {"FTP", "no placeholder $", {"u", "p", "h"}, "no placeholder $"},
        {"Undefined", "$1 $2 $3", {"u", "p", "h"}, "u p h"},
        // A value inserted earlier is expanded again by the later steps, not by its own.
        {"Plain", "$1", {"x$2y$1", "[$3]", "z"}, "x[z]y$1"},
        {"Plain", "$3", {"$1", "$2", "$3"}, "$3"},
        {"Plain", "$$11", {"a", "", ""}, "$a1"},
        {"FTP", "$1", {"$2", "secret", ""}, "**"},
        {"FTP", "", {"u", "p", "h"}, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.category) + ": " + c.text);
        const Position e = store.AddEntry(c.category, c.text, "", c.values[0], c.values[1], c.values[2]);
        ASSERT_TRUE(e);
        EXPECT_EQ(Str(store.ExpandDisplayText(e, c.text)), c.expected);
        EXPECT_EQ(Str(store.ExpandDisplayText(e, c.text, store.FindCategory(c.category))), c.expected);
    }
}

TEST(PasswordStore, ExpandWithAGivenCategoryUsesItsLabels)
{
    PasswordStore store;
    const Position e = store.AddEntry("FTP", "$1 $2 $3", "", "u", "p", "h");
    const Position pinTan = store.FindCategory("PIN/TAN");
    EXPECT_EQ(Str(store.ExpandDisplayText(e, "$1 $2 $3", pinTan)), "u ** ***");
    EXPECT_EQ(Str(store.ExpandDisplayText(e, "$1 $2 $3", {})), "u p h");
}

TEST(PasswordStore, FindNextEntrySkipsCategoriesAndOtherElements)
{
    PasswordStore store;
    EXPECT_FALSE(store.FindNextEntry({}));
    store.AddTail("");
    const Position a = store.AddEntry("FTP", "a", "", "", "", "");
    store.AddTail("");
    store.AddTail("_X__|_junk_|_");
    store.AddTail("_E");
    store.AddCategory("Mine", "", "", "");
    const Position b = store.AddEntry("Mine", "b", "", "", "", "");
    store.AddTail("");

    std::vector<Position> walked;
    for (Position pos = store.FindNextEntry({}); pos; pos = store.FindNextEntry(pos))
    {
        walked.push_back(pos);
    }
    EXPECT_EQ(walked, (std::vector<Position>{a, b}));
    EXPECT_EQ(store.GetCount(), BuiltInCategoryTable.size() + 8u);
    // Other elements are skipped by lookups as well.
    EXPECT_FALSE(store.FindCategory(""));
    EXPECT_FALSE(store.FindEntryByDisplayName(""));
}

TEST(PasswordStore, FindEntryByDisplayName)
{
    PasswordStore store;
    const Position first = store.AddEntry("FTP", "$1", "", "shared", "", "");
    const Position second = store.AddEntry(" Hmm?", "shared", "other", "", "", "");
    const Position masked = store.AddEntry("PIN/TAN", "$2", "", "", "1234", "");
    store.AddCategory("shared", "", "", "");

    EXPECT_EQ(store.FindEntryByDisplayName("shared"), first);
    EXPECT_EQ(store.FindEntryByDisplayName("shared", first), first);
    EXPECT_EQ(store.FindEntryByDisplayName("shared", store.GetNextPosition(first)), second);
    EXPECT_FALSE(store.FindEntryByDisplayName("shared", masked));
    EXPECT_EQ(store.FindEntryByDisplayName("**"), masked);
    EXPECT_FALSE(store.FindEntryByDisplayName("1234"));
    EXPECT_FALSE(store.FindEntryByDisplayName("$1"));
    EXPECT_FALSE(store.FindEntryByDisplayName("other")); // descriptions play no part
    EXPECT_FALSE(store.FindEntryByDisplayName("Shared"));
}

TEST(PasswordStore, ReplaceEntryKeepsItsPlace)
{
    PasswordStore store = EmptyStore();
    store.AddEntry("FTP", "one", "", "", "", "");
    store.AddCategory("FTP", "User", "Password (*)", "Host");
    const Position third = store.AddEntry("FTP", "a rather long old name", "old", "u", "a long old password", "h");
    store.AddEntry("FTP", "four", "", "", "", "");

    ASSERT_TRUE(store.ReplaceEntry(third, " Hmm?", "new", "d", "1", "2", "3"));
    const auto texts = Texts(store);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[2], "_E__|_ Hmm?_|_new_|_d_|_1_|_2_|_3_|_");
    EXPECT_EQ(store.GetNextPosition(store.GetNextPosition(store.GetHeadPosition())), third);
    EXPECT_EQ(Str(store.GetEntryName(third)), "new");

    EXPECT_FALSE(store.ReplaceEntry({}, "FTP", "x", "", "", "", ""));
    EXPECT_EQ(Texts(store), texts);
}

TEST(PasswordStore, PositionsSurviveAppendsAndRemovalOfOthers)
{
    PasswordStore store;
    const Position head = store.GetHeadPosition();
    const Position a = store.AddEntry("FTP", "a", "", "", "", "");
    const Position b = store.AddEntry("FTP", "b", "", "", "", "");
    const Position c = store.AddEntry("FTP", "c", "", "", "", "");
    for (int i = 0; i < 100; ++i)
    {
        store.AddTail("_E__|_FTP_|_filler_|__|__|__|__|_");
    }
    store.RemoveAt(b);
    store.RemoveAt(head);
    EXPECT_EQ(Str(store.GetEntryName(a)), "a");
    EXPECT_EQ(Str(store.GetEntryName(c)), "c");
    EXPECT_EQ(store.FindNextEntry(a), c);
    EXPECT_EQ(store.GetCount(), BuiltInCategoryTable.size() + 3u + 100u - 2u);
    EXPECT_FALSE(store.FindCategory("FTP")); // the only FTP category was removed
    EXPECT_EQ(Str(store.GetEntryName(store.FindEntryByDisplayName("a"))), "a");

    store.RemoveAll();
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_FALSE(store.GetHeadPosition());
    EXPECT_FALSE(store.FindNextEntry({}));
}

TEST(PasswordStore, BuildingOperationsRefuseFieldsThatWouldShift)
{
    // "_|" at the end of a field joins the following separator's underscore.
    const char* refused[] = {"_|_", "a_|_b", "x_|", "_|", "__|__|_"};
    const char* accepted[] = {"", "_", "|", "_|x", "|_", "a_", "a__", "_||_"};
    for (const char* field : refused)
    {
        SCOPED_TRACE(field);
        EXPECT_FALSE(PasswordStore::IsStorableField(field));
    }

    PasswordStore store;
    const Position entry = store.AddEntry("FTP", "n", "d", "1", "2", "3");
    const auto before = Texts(store);
    for (const char* field : refused)
    {
        SCOPED_TRACE(field);
        EXPECT_FALSE(store.AddCategory("c", "l1", "l2", field));
        EXPECT_FALSE(store.AddCategory(field, "l1", "l2", "l3"));
        EXPECT_FALSE(store.AddEntry("FTP", "n", "d", "1", "2", field));
        EXPECT_FALSE(store.AddEntry("FTP", field, "d", "1", "2", "3"));
        EXPECT_FALSE(store.ReplaceEntry(entry, "FTP", "n", field, "1", "2", "3"));
        EXPECT_FALSE(store.ReplaceEntry(entry, "FTP", "n", "d", "1", "2", field));
    }
    EXPECT_EQ(Texts(store), before);

    // Everything accepted reads back unchanged from every field.
    for (const char* field : accepted)
    {
        SCOPED_TRACE(field);
        EXPECT_TRUE(PasswordStore::IsStorableField(field));
        const Position e = store.AddEntry(field, field, field, field, field, field);
        ASSERT_TRUE(e);
        for (int n = 1; n <= 6; ++n)
        {
            EXPECT_EQ(Str(store.GetEntryField(e, n)), field);
        }
        const Position cat = store.AddCategory(field, field, field, field);
        ASSERT_TRUE(cat);
        for (int n = 1; n <= 3; ++n)
        {
            EXPECT_EQ(Str(store.GetCategoryLabel(cat, n)), field);
        }
    }
}

TEST(PasswordStoreTest, FieldViewsAndFieldCopiesCutDamagedRecordsAlike)
{
    // Field n lies between the n-th separator and the next one; without that next one it is
    // empty. Worked out by hand for records the format cannot describe.
    struct Case
    {
        const char* record;
        std::array<const char*, 6> fields;
    };
    const Case cases[] = {
        {"_E__|_A_|_B", {"A", "", "", "", "", ""}},
        {"_E_|_x_|_", {"x", "", "", "", "", ""}},
        {"_|__|_", {"", "", "", "", "", ""}},
        {"_|_|_", {"", "", "", "", "", ""}},
        {"x_|_y_|_z", {"y", "", "", "", "", ""}},
        {"_E__|__|__|_", {"", "", "", "", "", ""}},
        {"", {"", "", "", "", "", ""}},
        {"_E__|_k_|_n_|_d_|_1_|_2_|_3_|_x_|_", {"k", "n", "d", "1", "2", "3"}},
        {"_E__|_k_|_n_|_d_|_1_|_2_|_3", {"k", "n", "d", "1", "2", ""}},
    };
    for (const Case& c : cases)
    {
        PasswordStore store;
        store.RemoveAll();
        const Position entry = store.AddTail(c.record);
        std::array<std::string_view, 6> views;
        PasswordStore::ViewFields(store.GetAt(entry), views);
        for (int n = 1; n <= 6; ++n)
        {
            const std::string_view expected = c.fields[static_cast<std::size_t>(n - 1)];
            EXPECT_EQ(std::string_view(store.GetEntryField(entry, n)), expected) << c.record << " field " << n;
            EXPECT_EQ(views[static_cast<std::size_t>(n - 1)], expected) << c.record << " view " << n;
        }
    }
}

} // namespace
} // namespace kavelmark
