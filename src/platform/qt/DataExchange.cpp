#include "platform/qt/DataExchange.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <limits>
#include <optional>

#include "platform/Messages.h"

namespace kavelmark
{
namespace
{

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<QString> ReadText(QWidget* control)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
    {
        return edit->text();
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control))
    {
        // A multi-line edit hands its line breaks back as carriage return and line feed.
        QString text = edit->toPlainText();
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        return text;
    }
    if (auto* label = qobject_cast<QLabel*>(control))
    {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control))
    {
        return button->text();
    }
    if (auto* combo = qobject_cast<QComboBox*>(control))
    {
        return combo->currentText();
    }
    return std::nullopt;
}

void WriteText(QWidget* control, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
    {
        edit->setText(text);
    }
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(control))
    {
        QString lines = text;
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        edit->setPlainText(lines);
    }
    else if (auto* label = qobject_cast<QLabel*>(control))
    {
        label->setText(text);
    }
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
    {
        button->setText(text);
    }
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
    {
        combo->setEditText(text);
    }
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Decimal digits with optional blanks and tabs around them; nothing else, and nothing that
// does not fit 32 bits.
std::optional<std::uint32_t> ParseUInt(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
    {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1]))
    {
        --end;
    }
    if (begin == end)
    {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t i = begin; i < end; ++i)
    {
        if (text[i] < '0' || text[i] > '9')
        {
            return std::nullopt;
        }
        // A number beyond the range is still a number: held at the largest value, so that the
        // range check that follows names the range instead of asking for a number.
        value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(text[i] - '0'),
                                        std::numeric_limits<std::uint32_t>::max());
    }
    return static_cast<std::uint32_t>(value);
}

std::string Substitute(std::string text, const std::string& marker, const std::string& value)
{
    const std::size_t at = text.find(marker);
    if (at != std::string::npos)
    {
        text.replace(at, marker.size(), value);
    }
    return text;
}

} // namespace

void DataExchange::Fail(const std::string& message)
{
    failed_ = true;
    ShowMessage(message, kProgramName, MessageIcon::Exclamation);
    if (lastControl_)
    {
        lastControl_->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(lastControl_))
        {
            edit->selectAll();
        }
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(lastControl_))
        {
            edit->selectAll();
        }
    }
}

bool DataExchange::ReadsControl(QWidget* control, const QString& shown)
{
    if (failed_ || !control)
    {
        return false;
    }
    lastControl_ = control;
    if (!saveAndValidate_)
    {
        WriteText(control, shown);
        return false;
    }
    return true;
}

void DataExchange::Text(QWidget* control, std::string& value)
{
    if (!ReadsControl(control, FromUtf8(value)))
    {
        return;
    }
    if (const std::optional<QString> text = ReadText(control))
    {
        value = text->toUtf8().toStdString();
    }
}

void DataExchange::UInt(QWidget* control, std::uint32_t& value)
{
    if (!ReadsControl(control, QString::number(value)))
    {
        return;
    }
    const std::optional<QString> text = ReadText(control);
    const std::optional<std::uint32_t> parsed = ParseUInt(text ? text->toUtf8().toStdString() : std::string());
    if (!parsed)
    {
        Fail("Geben Sie bitte eine positive ganze Zahl ein.");
        return;
    }
    value = *parsed;
}

void DataExchange::MinMaxUInt(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum)
{
    if (failed_ || !saveAndValidate_)
    {
        return;
    }
    if (value < minimum || value > maximum)
    {
        Fail(Substitute(
            Substitute("Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein.", "%1", std::to_string(minimum)), "%2",
            std::to_string(maximum)));
    }
}

void DataExchange::ComboIndex(QWidget* control, int& index)
{
    auto* combo = qobject_cast<QComboBox*>(control);
    if (failed_ || !combo)
    {
        return;
    }
    lastControl_ = combo;
    if (saveAndValidate_)
    {
        index = combo->currentIndex();
    }
    else
    {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

} // namespace kavelmark
