#include "ui/DetailPane.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <algorithm>
#include <string_view>

#include "platform/qt/DialogTemplate.h"
#include "platform/qt/LabelLinks.h"
#include "platform/qt/QtText.h"
#include "platform/qt/SecretText.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "ui/Announcement.h"
#include "ui/SecretSelection.h"
#include "ui/UiTexts.h"

namespace kavelmark
{
namespace
{

SecureString WithVisibleLineBreaks(std::string_view value)
{
    SecureString shown;
    shown.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i)
    {
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
        {
            shown += " <> ";
            ++i;
        }
        else
        {
            shown += value[i];
        }
    }
    return shown;
}

} // namespace

DetailPane::DetailPane()
{
    hideTimer_.setSingleShot(true);
    connect(&hideTimer_, &QTimer::timeout, this,
            [this]
            {
                bool hidden = false;
                for (int i = 1; i <= 3; ++i)
                {
                    const auto k = static_cast<std::size_t>(i - 1);
                    hidden = hidden || (secret_[k] && fields_[k] && fields_[k]->echoMode() == QLineEdit::Normal);
                    Mask(i);
                }
                if (hidden)
                {
                    Announce(*fields_[0]->window(), QString::fromUtf8(kValueHiddenNotice));
                }
            });
}

void DetailPane::Attach(const std::array<QLabel*, 3>& labels, const std::array<QLineEdit*, 3>& fields)
{
    labels_ = labels;
    fields_ = fields;
    for (std::size_t k = 0; k < 3; ++k)
    {
        SetLabelText(*labels_[k], QString());
        labels_[k]->setBuddy(fields_[k]);
        fields_[k]->setReadOnly(true);
        fields_[k]->setText(QString());
        // An asterisk per character rather than the style's dot.
        fields_[k]->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
        secret_[k] = false;
        SetMasked(static_cast<int>(k + 1), false);
        fields_[k]->installEventFilter(this);
    }
    hideTimer_.stop();
}

void DetailPane::FitLabels(const PasswordStore& store)
{
    QStringList texts;
    for (PasswordStore::Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        if (PasswordStore::IsCategoryRecord(store.GetAt(pos)))
        {
            for (int i = 1; i <= 3; ++i)
            {
                texts << QStringLiteral("&%1: ").arg(i) + FromCp1252(store.GetCategoryLabel(pos, i));
            }
        }
    }
    FitLabelsToTexts({labels_[0], labels_[1], labels_[2]}, texts);
}

void DetailPane::Show(const PasswordStore& store, PasswordStore::Position entry)
{
    // Views into the two records: only what is shown is copied, into wiped buffers.
    std::array<std::string_view, 6> fields;
    PasswordStore::ViewFields(store.GetAt(entry), fields);
    std::array<std::string_view, 4> labels;
    if (PasswordStore::Position category = store.FindCategory(fields[0]))
    {
        PasswordStore::ViewFields(store.GetAt(category), labels);
    }
    for (int i = 1; i <= 3; ++i)
    {
        const auto k = static_cast<std::size_t>(i);
        SetLabelText(*labels_[k - 1], QStringLiteral("&%1: ").arg(i) + FromCp1252(labels[k]));
        values_[k - 1] = WithVisibleLineBreaks(fields[k + 2]);
        secret_[k - 1] = PasswordStore::IsSecretLabel(labels[k]);
        SetMasked(i, secret_[k - 1]);
    }
}

void DetailPane::Clear()
{
    for (int i = 1; i <= 3; ++i)
    {
        SetLabelText(*labels_[static_cast<std::size_t>(i - 1)], QString());
        WipeString(values_[static_cast<std::size_t>(i - 1)]);
        secret_[static_cast<std::size_t>(i - 1)] = false;
        SetMasked(i, false);
    }
}

void DetailPane::SetMasked(int i, bool masked)
{
    QLineEdit* field = fields_[static_cast<std::size_t>(i - 1)];
    const SecureString& value = values_[static_cast<std::size_t>(i - 1)];
    // The value is in the widget only while it is shown: masked, the widget holds one "*" per
    // character, and a value it held before is wiped.
    const bool showsSecret = !masked && secret_[static_cast<std::size_t>(i - 1)];
    // Marked before the value goes in and unmarked only after a shown one is wiped, so that
    // no change of the field's text tells the value to accessibility clients.
    if (showsSecret)
    {
        MarkSecretField(*field, true);
    }
    WipeLineEdit(*field);
    field->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    field->setText(masked ? QString(static_cast<qsizetype>(value.size()), QLatin1Char('*')) : FromCp1252(value));
    field->setCursorPosition(0);
    MarkSecretField(*field, showsSecret);
    field->repaint();
}

void DetailPane::Reveal(int i)
{
    if (!secret_[static_cast<std::size_t>(i - 1)])
    {
        return;
    }
    SetMasked(i, false);
    // Read at every reveal, so a changed setting applies at once.
    int delay = Settings::Get(settings::kHideTimerSetting);
    hideTimer_.start(std::max(delay, 0));
}

void DetailPane::Mask(int i)
{
    if (!secret_[static_cast<std::size_t>(i - 1)])
    {
        return;
    }
    SetMasked(i, true);
}

bool DetailPane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
    {
        for (int i = 1; i <= 3; ++i)
        {
            if (watched == fields_[static_cast<std::size_t>(i - 1)])
            {
                if (event->type() == QEvent::FocusIn)
                {
                    Reveal(i);
                }
                else
                {
                    Mask(i);
                }
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kavelmark
