#pragma once

#include <QIcon>
#include <QList>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <string_view>
#include <vector>

#include "app/SessionController.h"
#include "app/qt/FileWatch.h"
#include "layout/qt/CDialogLayout.h"
#include "platform/ControlIds.h"
#include "store/PasswordStore.h"
#include "ui/DetailPane.h"
#include "ui/EntryCommands.h"
#include "ui/EntryListView.h"
#include "ui/SessionLock.h"

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace kavelmark
{

class EditEntryDialog;
class TrayIcon;

// The program's only top-level window: the entries of the store in a list that a category
// filter restricts, the selected entry's three values under it (secret ones masked until
// their field has the focus), and the session around it: login and load before the window
// shows, save when it goes.
class MainWindow : public CDialogLayout, private SessionWindows
{
    Q_OBJECT

public:
    static constexpr int kEntryListId = control::main::kEntryList;
    static constexpr int kFilterId = control::main::kFilter;
    static constexpr int kAddId = control::main::kAdd;
    static constexpr int kDeleteId = control::main::kDelete;
    static constexpr int kChangeId = control::main::kChange;
    static constexpr int kFilterLabelId = control::main::kFilterLabel;
    static constexpr std::array<int, 3> kDetailLabelIds = control::main::kDetailLabels;
    static constexpr std::array<int, 3> kDetailFieldIds = control::main::kDetailFields;
    static constexpr const char* kAllCategories = EntryListView::kAllCategories;

    explicit MainWindow(QWidget* parent = nullptr, SessionFile& file = MainSessionFile());
    ~MainWindow() override;

    // The whole run: login and load, the modal window, save. Returns the dialog result, or
    // kStartFailed when the file could not be loaded (the window was never shown).
    static constexpr int kStartFailed = -1;
    int Run();

    void FillEntryList();
    // Selects the entry's row and shows its values; false when the entry is not listed.
    bool SelectEntry(PasswordStore::Position entry);
    // The title's mark of changes a save would write.
    void ShowUnsavedMark();
    // Position -1 stands for 1, directly behind "alle Kategorien anzeigen".
    void InsertFilterItem(const QString& text, int position);
    void ShowEntryDetails();
    void RevealSecretField(int i)
    {
        details_.Reveal(i);
    }
    void MaskSecretField(int i)
    {
        details_.Mask(i);
    }
    // Locking and hiding: see SessionLock.
    void HideMainWindow()
    {
        lock_.Hide();
    }
    void BringToFront()
    {
        lock_.BringToFront();
    }
    bool LockSession()
    {
        return lock_.Lock();
    }
    bool UnlockSession()
    {
        return lock_.Unlock();
    }
    bool IdleLockActive() const
    {
        return lock_.IdleLockActive();
    }
    void OpenHelp();

    // Entry commands: add, delete, change.
    virtual void OnAddEntry();
    virtual void OnDeleteEntry();
    virtual void OnChangeEntry();

    // What a key pressed in the entry list asks for: only the navigation block's Insert and
    // Delete, on the first press, without Alt.
    enum class EntryKey
    {
        None,
        Add,
        Delete,
    };
    static EntryKey EntryKeyCommand(const QKeyEvent& event);

    static int CategoryImageIndex(std::string_view category)
    {
        return EntryListView::CategoryImageIndex(category);
    }

    PasswordStore& Store()
    {
        return store_;
    }
    SessionController& Session()
    {
        return session_;
    }

    // The controls, once the window is created.
    QTreeWidget* EntryList() const;
    QComboBox* CategoryFilter() const;
    QLabel* DetailLabel(int i) const;
    QLineEdit* DetailField(int i) const;
    // The value of detail field i, also while the field shows only its mask.
    const SecureString& DetailValue(int i) const
    {
        return details_.Value(i);
    }
    // The entry a row stands for (null when the row is none of ours).
    static PasswordStore::Position RowEntry(const QTreeWidgetItem* row)
    {
        return EntryListView::RowEntry(row);
    }
    const QIcon& CategoryImage(int index) const
    {
        return entryList_.CategoryImage(index);
    }
    const QIcon& ProgramIcon() const
    {
        return programIcon_;
    }
    bool HideTimerActive() const
    {
        return details_.HideTimerActive();
    }
    bool HasTrayIcon() const
    {
        return trayIcon_ != nullptr;
    }
    TrayIcon* Tray() const
    {
        return trayIcon_.get();
    }

    // Seams: the login window and the web browser.
    using LoginFactory = std::function<std::unique_ptr<LoginDialogBase>()>;
    void SetLoginFactory(LoginFactory factory);
    using UrlOpener = std::function<bool(const QUrl&)>;
    void SetUrlOpener(UrlOpener opener);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnMenuCommand(int command) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Runs the edit dialog of the change command modally (a seam for tests).
    virtual int RunEditEntryDialog(EditEntryDialog& dialog);

private:
    friend class SessionLock;
    friend class EntryCommands;

    // SessionWindows
    std::unique_ptr<LoginDialogBase> CreateLoginDialog() override;
    void AddTrayIcon() override;
    void RemoveTrayIcon() override;
    void RunConfigDialog() override;
    void RunAboutDialog() override;
    void StoreReloaded() override;
    void BeforeStoreRefresh() override;
    void StoreRefreshed() override;
    void EndRun() override;
    void ShowHelp() override;
    void LockWindow() override;
    void OpenFind() override;
    void SelectEntryNamed(const std::string& category, const std::string& name) override;

    void ConnectControls();
    void FillCategoryFilter();
    void ClearEntryDetails();
    void ShowColumnNotice(int column);

    PasswordStore store_;
    SessionController session_;
    QIcon programIcon_;
    EntryListView entryList_;
    DetailPane details_;
    // Runs while "LockAfter (Sec)" asks for an idle lock; input anywhere in the program
    // restarts the idle time.
    // The event loop level of the window's own modal run; a deeper one is a dialog's.
    int runLoopLevel_ = 0;
    std::unique_ptr<TrayIcon> trayIcon_;
    // The entry to select once the list is there: category and name.
    std::optional<std::pair<std::string, std::string>> pendingSelection_;
    // Tells the session of what a sync engine does to the file while the window runs.
    std::unique_ptr<FileWatch> fileWatch_;
    // The record of the selected entry while the store is replaced by another version.
    SecureString selectedRecord_;
    SessionLock lock_{*this};
    EntryCommands commands_{*this};
    LoginFactory loginFactory_;
    UrlOpener urlOpener_;
};

} // namespace kavelmark
