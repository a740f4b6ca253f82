#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable Qt values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < texts.size(); ++i)
    {
        *os << (i ? ", " : "") << '"' << texts[i].toStdString() << '"';
    }
    *os << '}';
}

inline void PrintTo(const QColor& colour, std::ostream* os)
{
    *os << colour.name().toStdString();
}
