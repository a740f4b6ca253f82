#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/port/Columns.h"
#include "file/port/Import.h"

namespace kavelmark
{
namespace
{

TEST(PortMappingTest, LabelsDecideWhichValueIsUserPasswordAndUrl)
{
    const struct
    {
        std::array<std::string_view, 3> labels;
        int username;
        int password;
        int url;
    } cases[] = {
        {{"User", "Password (*)", "Host"}, 1, 2, 3},
        {{"User", "Password (*)", "Phone No"}, 1, 2, 0},
        {{"Konto", "PIN (*)", "TAN (*)"}, 1, 2, 0}, // the second secret goes to the notes
        {{"Key", "Password (*)", "Details"}, 1, 2, 0},
        {{"Adresse", "Geheim(*)", "Login"}, 3, 2, 1},
        {{"Host (*)", "USERNAME", "Web-Server"}, 2, 1, 3}, // secret first, case does not matter
        {{"Password (*) ", "Benutzer", "url"}, 2, 0, 3},   // a blank after "(*)" is not secret
        {{"", "", ""}, 0, 0, 0},                           // an entry without a category
    };
    for (const auto& c : cases)
    {
        const FieldMapping mapping = MapLabels(c.labels);
        EXPECT_EQ(mapping.username, c.username) << c.labels[0] << '|' << c.labels[1] << '|' << c.labels[2];
        EXPECT_EQ(mapping.password, c.password) << c.labels[0] << '|' << c.labels[1] << '|' << c.labels[2];
        EXPECT_EQ(mapping.url, c.url) << c.labels[0] << '|' << c.labels[1] << '|' << c.labels[2];
    }
}

std::vector<std::string> Categories(const std::string& csv)
{
    ImportPlan plan = PlanImport(csv);
    EXPECT_EQ(plan.problems, std::vector<std::string>{}) << csv;
    std::vector<std::string> categories;
    for (const ImportedEntry& entry : plan.entries)
    {
        categories.emplace_back(entry.category.data(), entry.category.size());
    }
    return categories;
}

TEST(PortMappingTest, APeersRootGroupIsDroppedOnlyWhenEveryRowLiesUnderIt)
{
    const std::string imported(kImportCategory);
    EXPECT_EQ(Categories("Group,Title\nRoot/Mail,a\nRoot,b\nRoot/Bank/Konten,c\n"),
              (std::vector<std::string>{"Mail", imported, "Bank/Konten"}));
    EXPECT_EQ(Categories("Group,Title\nA/x,a\nB,b\n"), (std::vector<std::string>{"A/x", "B"}));
    EXPECT_EQ(Categories("Group,Title\nWeb,a\nWeb,b\n,c\n"), (std::vector<std::string>{"Web", "Web", imported}));
    // Kavelmark's own export names categories, not paths: "PIN/TAN" stays whole.
    EXPECT_EQ(Categories("Group,Title,Kavelmark Label 1,Kavelmark Label 2,Kavelmark Label 3,Kavelmark Value 1,"
                         "Kavelmark Value 2,Kavelmark Value 3,Kavelmark Description\n"
                         "PIN/TAN,a,,,,,,,\nPIN/x,b,,,,,,,\n"),
              (std::vector<std::string>{"PIN/TAN", "PIN/x"}));
}

} // namespace
} // namespace kavelmark
