#pragma once

#include <QDialog>

#include "app/LoginDialogBase.h"
#include "platform/ControlIds.h"
#include "platform/qt/DialogTemplate.h"

class QLabel;
class QLineEdit;

namespace kavelmark
{

// "Kavelmark Login": the password prompt at start and for each step of a password change.
// Fixed size, no close box; Enter confirms, Escape cancels.
class LoginDialog final : public QDialog, public LoginDialogBase
{
    Q_OBJECT

public:
    static constexpr int kPromptId = control::login::kPrompt;
    static constexpr int kPasswordId = control::login::kPassword;

    explicit LoginDialog(QWidget* parent = nullptr);

    // Valid while a run is in progress.
    QLabel* Prompt() const;
    QLineEdit* PasswordEdit() const;

    void accept() override;
    void ShowBusy() override;
    void EndBusy() override;

protected:
    int RunModal() override;
    void showEvent(QShowEvent* event) override;

private:
    void FitPrompt();
    DialogControls controls_;
};

} // namespace kavelmark
