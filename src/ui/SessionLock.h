#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "platform/SecureString.h"

namespace kavelmark
{

class MainWindow;

// Locking and the window's hiding. The lock saves, wipes what the window shows and hides it;
// the unlock asks for the password, loads again and shows the list as before. The idle lock
// ("LockAfter (Sec)") counts from the last key or mouse input anywhere in the program; hiding
// ("LockOnHide") may lock too. A lock asked for while a dialog of ours is open waits for it.
class SessionLock final : public QObject
{
public:
    explicit SessionLock(MainWindow& window);
    ~SessionLock() override;

    // Starts watching the input and arms the idle lock, once the window is made.
    void Start();

    // Saves, then wipes the store, the password, the list, the detail fields and a secret we
    // put on the clipboard, and hides the window (minimizes it without a notification area).
    // False when the save failed, or while a dialog is open (the lock then waits for it).
    bool Lock();
    // Asks for the password; with the right one the file is loaded again and the window
    // shows the list as before (same filter and selection where they still exist).
    bool Unlock();
    bool IdleLockActive() const
    {
        return idleTimer_.isActive();
    }

    // Hides the window, or locks the session when "LockOnHide" asks for it.
    void Hide();
    // Into the notification area where it can be reached, else minimized.
    void HideOrMinimize();
    // Shows a hidden window again and puts it, or the dialog it waits for, in front; a locked
    // session is unlocked first.
    void BringToFront();

    // A dialog, message box or menu of ours waits for the user.
    bool DialogOpen() const;

private:
    static int LockAfterSeconds();
    void ArmIdleLock();
    void OnIdleTimeout();
    void RememberSelection();
    void RestoreSelection();
    void ForgetSelection();

    MainWindow& window_;
    QTimer idleTimer_;
    QElapsedTimer lastInput_;
    std::unique_ptr<QObject> inputWatch_;
    bool waitedForDialog_ = false;
    // A lock asked for while a dialog was open.
    QTimer pendingLock_;
    bool unlocking_ = false;
    // What the list showed when the session was locked, by name and category: positions do
    // not survive the reload.
    QString lockedFilter_;
    SecureString lockedName_;
    SecureString lockedCategory_;
    bool lockedSelection_ = false;
};

} // namespace kavelmark
