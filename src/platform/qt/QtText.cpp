#include "platform/qt/QtText.h"

#include "platform/Cp1252.h"

namespace kavelmark
{

QString FromCp1252(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char byte : bytes)
    {
        // Every cp1252 character lies in the basic plane: one QChar each.
        text.append(QChar(static_cast<char16_t>(Cp1252ToCodePoint(static_cast<unsigned char>(byte)))));
    }
    return text;
}

std::optional<SecureString> ToCp1252(const QString& text)
{
    SecureString bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text)
    {
        // A surrogate half belongs to a character outside the basic plane, which cp1252 never holds.
        int byte = ch.isSurrogate() ? -1 : CodePointToCp1252(ch.unicode());
        if (byte < 0)
        {
            WipeString(bytes);
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}

QString Cp1252RefusalText()
{
    return QStringLiteral("Der Text enthält ein Zeichen, das Kavelmark nicht speichern kann.\n"
                          "Bitte verwenden Sie nur Zeichen des westeuropäischen Zeichensatzes (Windows-1252).");
}

} // namespace kavelmark
