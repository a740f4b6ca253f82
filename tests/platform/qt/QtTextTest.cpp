#include <gtest/gtest.h>

#include "platform/qt/QtText.h"

namespace kavelmark
{
namespace
{

TEST(QtTextTest, EveryByteSurvivesTheWayThroughTheWidgets)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
    {
        all.push_back(static_cast<char>(byte));
    }
    QString text = FromCp1252(all);
    EXPECT_EQ(text.size(), 256);
    std::optional<SecureString> back = ToCp1252(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(std::string(back->begin(), back->end()), all);
}

TEST(QtTextTest, TypedCharactersBecomeTheirCp1252Bytes)
{
    std::optional<SecureString> bytes = ToCp1252(QStringLiteral("Grüße 5€"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, ToSecure("Gr\xfc\xdf"
                               "e 5\x80"));
}

TEST(QtTextTest, CharactersCp1252CannotHoldAreRefusedNotReplaced)
{
    const QString refused[] = {
        QStringLiteral("Schnee☃mann"),               // basic plane, not in cp1252
        QStringLiteral("ok") + QChar(0x0141),        // Polish L with stroke
        QString::fromUtf8("smile \xF0\x9F\x98\x80"), // outside the basic plane
    };
    for (const QString& text : refused)
    {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(ToCp1252(text));
    }
}

} // namespace
} // namespace kavelmark
