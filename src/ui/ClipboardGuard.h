#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "ui/SecretMimeData.h"

namespace kavelmark
{

// Puts values on the system clipboard and takes secrets off again: after the delay of the
// setting "ClipboardClear (Sec)" and when the guard goes, but only while the clipboard still
// holds what we put there, so that a text another program copied meanwhile stays.
class ClipboardGuard : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* kPasswordManagerHint = SecretMimeData::kPasswordManagerHint;

    explicit ClipboardGuard(QObject* parent = nullptr);
    ~ClipboardGuard() override;
    ClipboardGuard(const ClipboardGuard&) = delete;
    ClipboardGuard& operator=(const ClipboardGuard&) = delete;

    // Copies text; what names the value in the status ("Password"). The caller wipes its text.
    void Copy(const QString& text, bool secret, const QString& what);
    // Empties the clipboard when it still holds our secret.
    void ClearIfOurs();
    bool ClearPending() const
    {
        return timer_.isActive();
    }
    // The delay in seconds, 0 for never; an unset value is stored back as the default.
    static int ClearDelaySeconds();

signals:
    // What the clipboard holds of ours, for the window to show; empty once it is gone.
    void StatusChanged(const QString& status);
    // The secret was taken off the clipboard.
    void Cleared();

private:
    void Forget();

    QTimer timer_;
    // The secret we put there, while the clipboard holds it; the clipboard owns it and wipes
    // it when it lets go (a copy by another program replaces it).
    QPointer<SecretMimeData> secret_;
};

} // namespace kavelmark
