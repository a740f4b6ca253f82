#include <gtest/gtest.h>

#include "app/qt/QtSaveAsDialog.h"

namespace kavelmark
{
namespace
{

TEST(QtSaveAsDialogTest, FilterTextBecomesQtNameFilters)
{
    struct Case
    {
        std::string filter;
        QString expected;
    };
    const Case cases[] = {
        {"All Files|*.*||", QStringLiteral("All Files (*)")},
        {"Kavelmark|*.Kavelmark|All Files|*.*||", QStringLiteral("Kavelmark (*.Kavelmark);;All Files (*)")},
        {"Texte|*.txt;*.htm||", QStringLiteral("Texte (*.txt *.htm)")},
        {"", QString()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(QtSaveAsDialog::ToNameFilters(c.filter), c.expected);
    }
}

} // namespace
} // namespace kavelmark
