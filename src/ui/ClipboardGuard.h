#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace kavelmark
{

// Puts values on the system clipboard and takes secrets off again: after the delay of the
// setting "ClipboardClear (Sec)" and when the guard goes, but only while the clipboard still
// holds what we put there, so that a text another program copied meanwhile stays.
class ClipboardGuard : public QObject
{
    Q_OBJECT

public:
    // The MIME type by which clipboard managers recognise a secret and keep no history of it.
    static constexpr const char* kPasswordManagerHint = "x-kde-passwordManagerHint";

    explicit ClipboardGuard(QObject* parent = nullptr);
    ~ClipboardGuard() override;
    ClipboardGuard(const ClipboardGuard&) = delete;
    ClipboardGuard& operator=(const ClipboardGuard&) = delete;

    // Copies text; what names the value in the status ("Password").
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

private:
    void Forget();

    QTimer timer_;
    // A digest of the secret rather than the secret itself: enough to recognise it.
    QByteArray digest_;
};

} // namespace kavelmark
