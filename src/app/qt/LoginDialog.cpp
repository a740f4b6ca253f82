#include "app/qt/LoginDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/Messages.h"
#include "platform/qt/DialogTemplates.h"
#include "platform/qt/LabelLinks.h"
#include "platform/qt/QtText.h"
#include "platform/qt/SecretText.h"

namespace kavelmark
{

LoginDialog::LoginDialog(QWidget* parent) : QDialog(parent)
{
}

QLabel* LoginDialog::Prompt() const
{
    return qobject_cast<QLabel*>(controls_.Control(kPromptId));
}

QLineEdit* LoginDialog::PasswordEdit() const
{
    return qobject_cast<QLineEdit*>(controls_.Control(kPasswordId));
}

// A prompt longer than the template's two lines pushes the field and the buttons down.
void LoginDialog::FitPrompt()
{
    QLabel* prompt = Prompt();
    const int needed = prompt->heightForWidth(prompt->width());
    const int grow = needed - prompt->height();
    if (grow <= 0)
    {
        return;
    }
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    {
        if (child != prompt && child->y() > prompt->y())
        {
            child->move(child->x(), child->y() + grow);
        }
    }
    prompt->resize(prompt->width(), needed);
    resize(width(), height() + grow);
}

int LoginDialog::RunModal()
{
    controls_.Build(LoginTemplate(), *this);
    if (!titleText.empty())
    {
        setWindowTitle(QString::fromStdString(titleText));
    }
    SetLabelText(*Prompt(), QString::fromStdString(promptText));
    FitPrompt();
    setFixedSize(size());
    QLineEdit* edit = PasswordEdit();
    edit->setEchoMode(QLineEdit::Password);
    // An asterisk per character rather than the style's dot.
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    edit->setText(FromCp1252(enteredPassword));
    edit->setFocus();
    if (auto* ok = qobject_cast<QPushButton*>(controls_.Control(IDOK)))
    {
        connect(ok, &QPushButton::clicked, this, &LoginDialog::accept);
    }
    if (auto* cancel = qobject_cast<QPushButton*>(controls_.Control(IDCANCEL)))
    {
        connect(cancel, &QPushButton::clicked, this, &LoginDialog::reject);
    }

    int result = exec() == QDialog::Accepted ? kOk : kCancel;
    WipeLineEdit(*edit);
    controls_.Clear();
    return result;
}

void LoginDialog::accept()
{
    std::optional<SecureString> typed = ToCp1252(PasswordEdit()->text());
    if (!typed)
    {
        // Changing the character would make a password the user never typed.
        ShowMessage(Cp1252RefusalText().toStdString(), "Information", MessageIcon::Information);
        PasswordEdit()->setFocus();
        return;
    }
    enteredPassword = std::move(*typed);
    promptText = Prompt()->text().toStdString();
    QDialog::accept();
}

void LoginDialog::ShowBusy()
{
    // The prompt answered, nothing to type into: the window only says that the program works.
    controls_.Build(LoginTemplate(), *this);
    setFixedSize(size());
    SetLabelText(*Prompt(), QString::fromStdString(promptText));
    PasswordEdit()->setEchoMode(QLineEdit::Password);
    setEnabled(false);
    setCursor(Qt::WaitCursor);
    show();
}

void LoginDialog::EndBusy()
{
    if (!isVisible() && isEnabled())
    {
        return;
    }
    hide();
    setEnabled(true);
    unsetCursor();
    controls_.Clear();
}

void LoginDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

} // namespace kavelmark
