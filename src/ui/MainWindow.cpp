#include "ui/MainWindow.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>

#include "app/qt/ConfigDialog.h"
#include "app/qt/LoginDialog.h"
#include "file/MainEntryFile.h"
#include "platform/CommandIds.h"
#include "platform/Messages.h"
#include "platform/qt/DialogTemplates.h"
#include "platform/qt/QtText.h"
#include "ui/AboutDialog.h"
#include "ui/DesktopOpener.h"
#include "ui/EditEntryDialog.h"
#include "ui/EntryClipboard.h"
#include "ui/EntryFinder.h"
#include "ui/EntryListView.h"
#include "ui/HelpPage.h"
#include "ui/ListFocus.h"
#include "ui/SecretSelection.h"
#include "ui/TrayIcon.h"
#include "ui/UiTexts.h"

static void InitKavelmarkResources()
{
    // The resources live in a static library; without this the linker may drop them.
    Q_INIT_RESOURCE(kavelmark);
}

namespace kavelmark
{
namespace
{

// The program's picture in the sizes it was drawn for; the desktop's menu shows the same.
constexpr const char* kProgramIconFiles[] = {":/kavelmark/icons/kavelmark-16.png", ":/kavelmark/icons/kavelmark-32.png",
                                             ":/kavelmark/icons/kavelmark-48.png",
                                             ":/kavelmark/icons/kavelmark-256.png"};

} // namespace

MainWindow::MainWindow(QWidget* parent, SessionFile& file)
    : CDialogLayout(MainWindowTemplate(), parent, "DlgPos_Kavelmark", false,
                    LF_SAVE_POSITION | LF_SAVE_SIZE | LF_MENU_HEIGHT),
      session_(store_, *this, file)
{
    InitKavelmarkResources();
    GuardPrimarySelection();
    for (const char* size : kProgramIconFiles)
    {
        programIcon_.addFile(QString::fromLatin1(size));
    }
    urlOpener_ = [](const QUrl& url) { return OpenWithDesktopHandler(url, [url] { ShowHelpPageFailed(url); }); };
}

MainWindow::~MainWindow()
{
    // The rows refer to the shared category columns, which go before the base class
    // destroys the list.
    if (QTreeWidget* list = EntryList())
    {
        list->clear();
    }
}

int MainWindow::Run()
{
    if (!session_.StartSession())
    {
        session_.EndSession();
        return kStartFailed;
    }
    runLoopLevel_ = QThread::currentThread()->loopLevel() + 1;
    fileWatch_ = std::make_unique<FileWatch>([] { return MainEntryFile(); }, [this] { session_.FileChangedOnDisk(); },
                                             [this] { return lock_.DialogOpen(); });
    fileWatch_->Follow();
    int result = exec();
    fileWatch_.reset();
    runLoopLevel_ = 0;
    session_.EndSession();
    return result;
}

void MainWindow::SetLoginFactory(LoginFactory factory)
{
    loginFactory_ = std::move(factory);
}

void MainWindow::SetUrlOpener(UrlOpener opener)
{
    urlOpener_ = std::move(opener);
}

MainWindow::EntryKey MainWindow::EntryKeyCommand(const QKeyEvent& event)
{
    if (event.type() != QEvent::KeyPress || event.isAutoRepeat() ||
        (event.modifiers() & (Qt::KeypadModifier | Qt::AltModifier)))
    {
        return EntryKey::None;
    }
    switch (event.key())
    {
    case Qt::Key_Insert:
        return EntryKey::Add;
    case Qt::Key_Delete:
        return EntryKey::Delete;
    default:
        return EntryKey::None;
    }
}

QTreeWidget* MainWindow::EntryList() const
{
    return ControlAs<QTreeWidget>(kEntryListId);
}

QComboBox* MainWindow::CategoryFilter() const
{
    return ControlAs<QComboBox>(kFilterId);
}

QLabel* MainWindow::DetailLabel(int i) const
{
    return ControlAs<QLabel>(kDetailLabelIds, i);
}

QLineEdit* MainWindow::DetailField(int i) const
{
    return ControlAs<QLineEdit>(kDetailFieldIds, i);
}

bool MainWindow::OnInitDialog()
{
    CDialogLayout::OnInitDialog();
    details_.Attach({DetailLabel(1), DetailLabel(2), DetailLabel(3)}, {DetailField(1), DetailField(2), DetailField(3)});
    details_.FitLabels(store_);

    BeginPane(LAYOUT_HORIZONTAL);
    AddSpace(5, 3);
    BeginPane(LAYOUT_VERTICAL);
    AddSpace(5, 3);

    BeginPane(LAYOUT_HORIZONTAL);
    AddControl(kFilterLabelId, LAYOUT_FIXED);
    AddControl(kFilterId, LAYOUT_FIXED_HEIGHT);
    EndPane();

    AddSpace(10, 3);
    AddControl(kEntryListId, LAYOUT_STRETCH);
    AddSpace(10, 3);

    BeginPane(LAYOUT_HORIZONTAL);
    BeginPane(LAYOUT_VERTICAL);
    BeginPane(LAYOUT_HORIZONTAL);
    AddControl(kAddId, LAYOUT_FIXED);
    AddSpace(10, 3);
    AddControl(kDeleteId, LAYOUT_FIXED);
    AddSpace(10, 3);
    AddControl(kChangeId, LAYOUT_FIXED);
    EndPane();
    AddSpace(10, 3);
    BeginPane(LAYOUT_HORIZONTAL);
    AddControl(IDOK, LAYOUT_FIXED);
    AddSpace(10, 3);
    AddControl(IDCANCEL, LAYOUT_FIXED);
    AddSpace(10, 3);
    AddControl(command::kHelp, LAYOUT_FIXED);
    EndPane();
    EndPane();

    AddSpace(10, 3);

    BeginPane(LAYOUT_VERTICAL);
    for (std::size_t i = 0; i < 3; ++i)
    {
        if (i > 0)
        {
            AddSpace(10, 3);
        }
        BeginPane(LAYOUT_HORIZONTAL);
        SetAlignment(ALIGN_CROSS_CENTER_Y);
        AddControl(kDetailLabelIds[i], LAYOUT_FIXED);
        AddControl(kDetailFieldIds[i], LAYOUT_FIXED_HEIGHT);
        EndPane();
    }
    EndPane();
    EndPane();

    AddSpace(5, 3);
    EndPane();
    AddSpace(5, 3);
    EndPane();

    setWindowIcon(programIcon_);

    FillCategoryFilter();

    QTreeWidget* list = EntryList();
    list->setAccessibleName(QString::fromUtf8(kEntryListName));
    list->setColumnCount(3);
    list->setHeaderLabels({QStringLiteral("Kategorie"), QStringLiteral("Name"), QStringLiteral("Beschreibung")});
    list->setColumnWidth(0, 120);
    list->setColumnWidth(1, 180);
    list->setColumnWidth(2, 290);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setAllColumnsShowFocus(true);
    list->setSortingEnabled(false); // a heading click shows a notice instead
    list->setIconSize(QSize(EntryListView::kImageSize, EntryListView::kImageSize));
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(false);
    list->installEventFilter(this);
    AnnounceCurrentRowOnFocus(*list);
    // Tab goes from the top down: the filter above the list comes first.
    QWidget* previous = Control(kFilterId);
    for (int id : {kEntryListId, kAddId, kDeleteId, kChangeId, kDetailFieldIds[0], kDetailFieldIds[1],
                   kDetailFieldIds[2], IDOK, IDCANCEL, command::kHelp})
    {
        if (QWidget* control = Control(id))
        {
            QWidget::setTabOrder(previous, control);
            previous = control;
        }
    }

    ConnectControls();
    AttachCopyAndFind(*this);
    if (QAction* lock = MenuAction(command::kLock))
    {
        lock->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    }
    if (QAction* save = MenuAction(command::kFileSave))
    {
        save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    }
    // Qt shows the "*" while the window is marked modified, and nothing otherwise.
    setWindowTitle(windowTitle() + QStringLiteral("[*]"));
    FillEntryList();
    if (pendingSelection_)
    {
        const auto [category, name] = *std::exchange(pendingSelection_, std::nullopt);
        SelectEntryNamed(category, name);
    }

    lock_.Start();
    return true;
}

void MainWindow::ConnectControls()
{
    QTreeWidget* list = EntryList();
    connect(list, &QTreeWidget::currentItemChanged, this, [this] { ShowEntryDetails(); });
    connect(list, &QTreeWidget::itemClicked, this, [this] { ShowEntryDetails(); });
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { OnChangeEntry(); });
    connect(list->header(), &QHeaderView::sectionClicked, this, &MainWindow::ShowColumnNotice);
    connect(CategoryFilter(), &QComboBox::currentIndexChanged, this, [this] { FillEntryList(); });

    const std::pair<int, void (MainWindow::*)()> buttons[] = {
        {kAddId, &MainWindow::OnAddEntry},
        {kDeleteId, &MainWindow::OnDeleteEntry},
        {kChangeId, &MainWindow::OnChangeEntry},
        {command::kHelp, &MainWindow::OpenHelp},
    };
    for (const auto& [id, handler] : buttons)
    {
        if (auto* button = ControlAs<QPushButton>(id))
        {
            connect(button, &QPushButton::clicked, this, handler);
        }
    }
}

void MainWindow::InsertFilterItem(const QString& text, int position)
{
    CategoryFilter()->insertItem(position == -1 ? 1 : position, text);
}

void MainWindow::FillCategoryFilter()
{
    QComboBox* filter = CategoryFilter();
    const QSignalBlocker blocker(filter);
    QString previous = filter->currentText();
    filter->clear();
    InsertFilterItem(QString::fromUtf8(kAllCategories), 0);
    for (PasswordStore::Position pos = store_.GetHeadPosition(); pos; pos = store_.GetNextPosition(pos))
    {
        if (PasswordStore::IsCategoryRecord(store_.GetAt(pos)))
        {
            InsertFilterItem(FromCp1252(store_.GetEntryField(pos, 1)), -1);
        }
    }
    // A refill after a reload keeps the user's category when the file still has it.
    int keep = previous.isEmpty() ? -1 : filter->findText(previous, Qt::MatchExactly | Qt::MatchCaseSensitive);
    filter->setCurrentIndex(keep > 0 ? keep : 0);
}

void MainWindow::FillEntryList()
{
    QTreeWidget* list = EntryList();
    QComboBox* filter = CategoryFilter();
    if (!list || !filter)
    {
        return;
    }
    QTreeWidgetItem* lastInStore = entryList_.Fill(*list, store_, filter->currentText());
    if (lastInStore)
    {
        list->setCurrentItem(lastInStore);
        list->scrollToItem(lastInStore);
        ShowEntryDetails();
    }
    else
    {
        // Nothing left to show: a secret of an entry no longer listed must not stay on screen.
        ClearEntryDetails();
    }
    list->setFocus();
    ShowUnsavedMark();
}

void MainWindow::ShowUnsavedMark()
{
    // A locked session holds nothing of the file: what it had was saved when it locked.
    setWindowModified(!session_.Locked() && session_.FileOk() && session_.HoldsUnsavedChanges());
}

bool MainWindow::SelectEntry(PasswordStore::Position entry)
{
    QTreeWidget* list = EntryList();
    QTreeWidgetItem* row = list ? EntryListView::RowOf(*list, entry) : nullptr;
    if (!row)
    {
        return false;
    }
    list->setCurrentItem(row);
    list->scrollToItem(row);
    ShowEntryDetails();
    return true;
}

void MainWindow::SelectEntryNamed(const std::string& category, const std::string& name)
{
    QComboBox* filter = CategoryFilter();
    if (!filter)
    {
        // A merge at the start comes before the window has its controls.
        pendingSelection_.emplace(category, name);
        return;
    }
    PasswordStore::Position entry{};
    for (PasswordStore::Position pos = store_.GetHeadPosition(); pos && !entry; pos = store_.GetNextPosition(pos))
    {
        std::string_view fields[2];
        if (PasswordStore::IsEntryRecord(store_.GetAt(pos)))
        {
            PasswordStore::ViewFields(store_.GetAt(pos), fields);
            entry = fields[0] == category && fields[1] == name ? pos : PasswordStore::Position{};
        }
    }
    if (!entry)
    {
        return;
    }
    // Filtered to its category, the entry's versions stand together and nothing else between.
    const int index = filter->findText(FromCp1252(category), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index > 0)
    {
        filter->setCurrentIndex(index);
    }
    if (!SelectEntry(entry))
    {
        filter->setCurrentIndex(0);
        SelectEntry(entry);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EntryList() && event->type() == QEvent::KeyPress)
    {
        switch (EntryKeyCommand(*static_cast<QKeyEvent*>(event)))
        {
        case EntryKey::Add:
            OnAddEntry();
            break;
        case EntryKey::Delete:
            OnDeleteEntry();
            break;
        case EntryKey::None:
            break;
        }
        return false;
    }
    return CDialogLayout::eventFilter(watched, event);
}

void MainWindow::ShowEntryDetails()
{
    QTreeWidget* list = EntryList();
    if (!list)
    {
        return;
    }
    QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
    {
        return;
    }
    if (PasswordStore::Position entry = RowEntry(selected.front()))
    {
        details_.Show(store_, entry);
    }
}

void MainWindow::ClearEntryDetails()
{
    details_.Clear();
}

void MainWindow::OnAddEntry()
{
    commands_.Add();
}

void MainWindow::OnDeleteEntry()
{
    commands_.Delete();
    ShowUnsavedMark();
}

void MainWindow::OnChangeEntry()
{
    commands_.Change();
}

int MainWindow::RunEditEntryDialog(EditEntryDialog& dialog)
{
    return dialog.exec();
}

void MainWindow::ShowColumnNotice(int column)
{
    ShowMessage(column == 1 ? kSortByNameNotice : kSortNotice, kSortCaption, MessageIcon::Information);
}

void MainWindow::OnOK()
{
    HideMainWindow();
}

void MainWindow::OnCancel()
{
    if (!session_.RequestEnd())
    {
        return;
    }
    CDialogLayout::OnCancel();
}

void MainWindow::OnMenuCommand(int command)
{
    session_.HandleMenuCommand(command);
    CDialogLayout::OnMenuCommand(command);
    ShowUnsavedMark();
    // "Speichern unter" may have named another file.
    if (fileWatch_)
    {
        fileWatch_->Follow();
    }
}

void MainWindow::EndRun()
{
    OnCancel();
}

void MainWindow::ShowHelp()
{
    OpenHelp();
}

void MainWindow::LockWindow()
{
    LockSession();
}

void MainWindow::OpenFind()
{
    if (auto* finder = findChild<EntryFinder*>(QString(), Qt::FindDirectChildrenOnly))
    {
        finder->OpenFindDialog();
    }
}

void MainWindow::OpenHelp()
{
    OpenHelpPage(urlOpener_);
}

std::unique_ptr<LoginDialogBase> MainWindow::CreateLoginDialog()
{
    if (loginFactory_)
    {
        return loginFactory_();
    }
    return std::make_unique<LoginDialog>(isVisible() ? this : nullptr);
}

void MainWindow::RunConfigDialog()
{
    ConfigDialog dialog(this);
    dialog.exec();
}

void MainWindow::RunAboutDialog()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::StoreReloaded()
{
    if (!CategoryFilter())
    {
        return;
    }
    FillCategoryFilter();
    FillEntryList();
}

void MainWindow::BeforeStoreRefresh()
{
    const QTreeWidget* list = EntryList();
    const PasswordStore::Position entry =
        list ? EntryListView::RowEntry(list->currentItem()) : PasswordStore::Position();
    WipeString(selectedRecord_);
    if (entry)
    {
        selectedRecord_ = store_.GetAt(entry);
    }
}

void MainWindow::StoreRefreshed()
{
    StoreReloaded();
    QTreeWidget* list = EntryList();
    if (QTreeWidgetItem* row =
            list && !selectedRecord_.empty() ? EntryListView::RowLike(*list, store_, selectedRecord_) : nullptr)
    {
        list->setCurrentItem(row);
        list->scrollToItem(row);
        ShowEntryDetails();
    }
    WipeString(selectedRecord_);
    ShowUnsavedMark();
}

void MainWindow::AddTrayIcon()
{
    trayIcon_ = std::make_unique<TrayIcon>(programIcon_, [this] { lock_.BringToFront(); });
}

void MainWindow::RemoveTrayIcon()
{
    trayIcon_.reset();
}

void MainWindow::changeEvent(QEvent* event)
{
    CDialogLayout::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible())
    {
        // The minimize box hides instead; queued, since the platform is still busy with the
        // state change.
        QMetaObject::invokeMethod(
            this,
            [this]
            {
                if (isMinimized() && isVisible())
                {
                    lock_.Hide();
                }
            },
            Qt::QueuedConnection);
    }
    else if (event->type() == QEvent::WindowStateChange && !isMinimized() && isVisible() && Session().Locked())
    {
        // Un-minimized while locked: the window shows nothing until the password is given.
        QMetaObject::invokeMethod(
            this,
            [this]
            {
                if (Session().Locked() && !isMinimized() && isVisible())
                {
                    lock_.Unlock();
                }
            },
            Qt::QueuedConnection);
    }
}

} // namespace kavelmark
