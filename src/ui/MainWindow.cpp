#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "app/qt/ConfigDialog.h"
#include "app/qt/LoginDialog.h"
#include "platform/CommandIds.h"
#include "platform/Messages.h"
#include "platform/qt/DialogTemplates.h"
#include "platform/qt/QtText.h"
#include "platform/qt/SecretText.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "ui/AboutDialog.h"
#include "ui/EntryClipboard.h"
#include "ui/EntryFinder.h"
#include "ui/SecretSelection.h"
#include "ui/TrayIcon.h"

static void InitKavelmarkResources()
{
    // The resources live in a static library; without this the linker may drop them.
    Q_INIT_RESOURCE(kavelmark);
}

namespace kavelmark
{
namespace
{

constexpr int kImageSize = 32;

// Image files in the order of the image list: TELNET, Datenbank, (unused), DFÜ, FTP,
// Web-Site, PIN/TAN, " Hmm?".
constexpr const char* kImageFiles[] = {
    ":/kavelmark/icons/category_telnet.xpm", ":/kavelmark/icons/category_database.xpm",
    ":/kavelmark/icons/category_unused.xpm", ":/kavelmark/icons/category_dialup.xpm",
    ":/kavelmark/icons/category_ftp.xpm",    ":/kavelmark/icons/category_website.xpm",
    ":/kavelmark/icons/category_pintan.xpm", ":/kavelmark/icons/category_hmm.xpm",
};
// The program's picture in the sizes it was drawn for; the desktop's menu shows the same.
constexpr const char* kProgramIconFiles[] = {":/kavelmark/icons/kavelmark-16.png", ":/kavelmark/icons/kavelmark-32.png",
                                             ":/kavelmark/icons/kavelmark-48.png",
                                             ":/kavelmark/icons/kavelmark-256.png"};
constexpr const char* kHelpResource = ":/kavelmark/help/kavelmark-hilfe.html";
// How often a waiting lock looks whether the dialog it waits for has closed.
constexpr int kDialogPollMs = 200;

// Tells of every key and mouse input anywhere in the program.
class InputWatch final : public QObject
{
public:
    explicit InputWatch(std::function<void()> onInput) : onInput_(std::move(onInput))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type())
        {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            onInput_();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onInput_;
};

// A row of the entry list, tied to its entry by the store position it carries. It holds
// its texts itself, and shares its category column with the other rows of the category:
// on long lists the generic item's per-column storage would cost more than the fill.
class EntryRow final : public QTreeWidgetItem
{
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;

    EntryRow(PasswordStore::Position entry, const MainWindow::RowCategory& category, const QString& name,
             const QString& description)
        : QTreeWidgetItem(kType), entry_(entry), category_(category), texts_(name + description),
          nameLength_(name.size())
    {
    }
    ~EntryRow() override
    {
        // Names and descriptions may show values; Qt frees a text's buffer unwiped.
        WipeText(texts_);
    }
    EntryRow(const EntryRow&) = delete;
    EntryRow& operator=(const EntryRow&) = delete;
    PasswordStore::Position Entry() const
    {
        return entry_;
    }

    QVariant data(int column, int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
        {
            switch (column)
            {
            case 0:
                return category_.text;
            case 1:
                return texts_.left(nameLength_);
            case 2:
                return texts_.mid(nameLength_);
            default:
                break;
            }
        }
        if (role == Qt::DecorationRole && column == 0)
        {
            return category_.image;
        }
        return QTreeWidgetItem::data(column, role);
    }

private:
    PasswordStore::Position entry_;
    const MainWindow::RowCategory& category_;
    QString texts_; // name, then description
    qsizetype nameLength_;
};

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

// The list's collation: case-insensitive, ties broken by the exact text.
bool ColumnTextLess(const QString& a, const QString& b)
{
    int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

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
    for (const char* image : kImageFiles)
    {
        images_.append(QIcon(QString::fromLatin1(image)));
    }
    hideTimer_.setSingleShot(true);
    connect(&hideTimer_, &QTimer::timeout, this,
            [this]
            {
                for (int i = 1; i <= 3; ++i)
                {
                    MaskSecretField(i);
                }
            });
    urlOpener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    idleTimer_.setSingleShot(true);
    connect(&idleTimer_, &QTimer::timeout, this, &MainWindow::OnIdleTimeout);
    pendingLock_.setSingleShot(true);
    pendingLock_.setInterval(kDialogPollMs);
    connect(&pendingLock_, &QTimer::timeout, this, &MainWindow::LockSession);
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
    int result = exec();
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

int MainWindow::CategoryImageIndex(std::string_view category)
{
    static const std::map<std::string_view, int> kCategoryImageTable = {
        {"TELNET", 0}, {"Datenbank", 1}, {"DF\xDC", 3}, {"FTP", 4}, {"Web-Site", 5}, {"PIN/TAN", 6}, {" Hmm?", 7},
    };
    auto found = kCategoryImageTable.find(category);
    return found == kCategoryImageTable.end() ? 0 : found->second;
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

PasswordStore::Position MainWindow::RowEntry(const QTreeWidgetItem* row) const
{
    if (!row || row->type() != EntryRow::kType)
    {
        return {};
    }
    return static_cast<const EntryRow*>(row)->Entry();
}

void MainWindow::FitDetailLabels()
{
    // Every label any category of the store can show, so that none is cut or wrapped.
    QStringList texts;
    for (PasswordStore::Position pos = store_.GetHeadPosition(); pos; pos = store_.GetNextPosition(pos))
    {
        if (PasswordStore::IsCategoryRecord(store_.GetAt(pos)))
        {
            for (int i = 1; i <= 3; ++i)
            {
                texts << QStringLiteral("&%1: ").arg(i) + FromCp1252(store_.GetCategoryLabel(pos, i));
            }
        }
    }
    FitLabelsToTexts({DetailLabel(1), DetailLabel(2), DetailLabel(3)}, texts);
}

bool MainWindow::OnInitDialog()
{
    CDialogLayout::OnInitDialog();
    FitDetailLabels();

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

    for (int i = 1; i <= 3; ++i)
    {
        DetailLabel(i)->setText(QString());
        DetailLabel(i)->setBuddy(DetailField(i));
        DetailField(i)->setReadOnly(true);
        DetailField(i)->setText(QString());
        // An asterisk per character rather than the style's dot.
        DetailField(i)->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
        secret_[static_cast<std::size_t>(i - 1)] = false;
        SetMasked(i, false);
        DetailField(i)->installEventFilter(this);
    }
    hideTimer_.stop();

    FillCategoryFilter();

    QTreeWidget* list = EntryList();
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
    list->setIconSize(QSize(kImageSize, kImageSize));
    list->header()->setSectionsClickable(true);
    list->header()->setSortIndicatorShown(false);
    list->installEventFilter(this);

    ConnectControls();
    AttachCopyAndFind(*this);
    if (QAction* lock = MenuAction(command::kLock))
    {
        lock->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    }
    FillEntryList();

    inputWatch_ = std::make_unique<InputWatch>([this] { lastInput_.start(); });
    ArmIdleLock();
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
    const QSignalBlocker blocker(list);
    list->clear();

    const QString filterText = filter->currentText();
    const bool all = filterText == QString::fromUtf8(kAllCategories);
    const SecureString filterCategory = all ? SecureString() : ToCp1252(filterText).value_or(SecureString());

    struct CategoryColumn
    {
        RowCategory* shown = nullptr;
        bool recordKnown = false; // the first category record of the name, as FindCategory finds it
        std::array<bool, 3> secret{};
        std::size_t rank = 0;
    };
    // The old rows are gone, so their shared category columns may go too.
    rowCategories_.clear();
    // Keys are views into the store's records, which outlive the fill.
    std::map<std::string_view, std::string_view> categoryRecords;
    std::map<std::string_view, CategoryColumn> columns;
    struct Row
    {
        PasswordStore::Position entry;
        CategoryColumn* column;
        EntryRow* item;
    };
    std::vector<Row> rows;
    rows.reserve(store_.GetCount());
    // Each record is cut once into views; only a text with a placeholder is expanded, into
    // buffers that the whole walk reuses.
    SecureString expanded;
    SecureString scratch;
    auto shownText =
        [&](std::string_view text, const std::array<std::string_view, 6>& fields, const CategoryColumn& column)
    {
        return FromCp1252(PasswordStore::ExpandPlaceholders(text, {fields[3], fields[4], fields[5]}, column.secret,
                                                            expanded, scratch));
    };
    auto makeItem = [&](PasswordStore::Position entry, const CategoryColumn& column)
    {
        std::array<std::string_view, 6> fields;
        PasswordStore::ViewFields(store_.GetAt(entry), fields);
        return new EntryRow(entry, *column.shown, shownText(fields[1], fields, column),
                            shownText(fields[2], fields, column));
    };
    auto learnRecord = [](CategoryColumn& column, std::string_view record)
    {
        column.recordKnown = true;
        std::array<std::string_view, 4> labels;
        PasswordStore::ViewFields(record, labels);
        for (std::size_t k = 0; k < 3; ++k)
        {
            column.secret[k] = PasswordStore::IsSecretLabel(labels[k + 1]);
        }
    };

    // One walk over the store, and every lookup once per category rather than once per row.
    bool pending = false;
    for (PasswordStore::Position pos = store_.GetHeadPosition(); pos; pos = store_.GetNextPosition(pos))
    {
        const std::string_view record(store_.GetAt(pos));
        std::array<std::string_view, 1> first;
        PasswordStore::ViewFields(record, first);
        if (PasswordStore::IsCategoryRecord(record))
        {
            categoryRecords.try_emplace(first[0], record);
            continue;
        }
        if (!PasswordStore::IsEntryRecord(record))
        {
            continue;
        }
        const std::string_view category = first[0];
        if (!all && category != std::string_view(filterCategory))
        {
            continue;
        }
        auto [found, added] = columns.try_emplace(category);
        CategoryColumn& column = found->second;
        if (added)
        {
            rowCategories_.push_back(std::make_unique<RowCategory>(
                RowCategory{QStringLiteral(" ") + FromCp1252(category), images_.at(CategoryImageIndex(category))}));
            column.shown = rowCategories_.back().get();
            if (auto known = categoryRecords.find(category); known != categoryRecords.end())
            {
                learnRecord(column, known->second);
            }
        }
        rows.push_back({pos, &column, column.recordKnown ? makeItem(pos, column) : nullptr});
        pending = pending || !column.recordKnown;
    }
    // Entries whose category record comes later in the store, or never: all records are known now.
    if (pending)
    {
        for (auto& [category, column] : columns)
        {
            auto known = categoryRecords.find(category);
            if (!column.recordKnown && known != categoryRecords.end())
            {
                learnRecord(column, known->second);
            }
        }
        for (Row& row : rows)
        {
            if (!row.item)
            {
                row.item = makeItem(row.entry, *row.column);
            }
        }
    }

    // Ascending by the column-0 text; rows of one category stay in store order.
    std::vector<CategoryColumn*> order;
    for (auto& [category, column] : columns)
    {
        order.push_back(&column);
    }
    std::sort(order.begin(), order.end(),
              [](const CategoryColumn* a, const CategoryColumn* b)
              { return ColumnTextLess(a->shown->text, b->shown->text); });
    for (std::size_t rank = 0; rank < order.size(); ++rank)
    {
        order[rank]->rank = rank;
    }
    EntryRow* lastInStore = rows.empty() ? nullptr : rows.back().item;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.column->rank < b.column->rank; });

    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const Row& row : rows)
    {
        items.append(row.item);
    }
    list->addTopLevelItems(items);

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
    PasswordStore::Position entry = RowEntry(selected.front());
    if (!entry)
    {
        return;
    }
    // Views into the two records: only what is shown is copied, into wiped buffers.
    std::array<std::string_view, 6> fields;
    PasswordStore::ViewFields(store_.GetAt(entry), fields);
    std::array<std::string_view, 4> labels;
    if (PasswordStore::Position category = store_.FindCategory(fields[0]))
    {
        PasswordStore::ViewFields(store_.GetAt(category), labels);
    }
    for (int i = 1; i <= 3; ++i)
    {
        const auto k = static_cast<std::size_t>(i);
        DetailLabel(i)->setText(QStringLiteral("&%1: ").arg(i) + FromCp1252(labels[k]));
        detailValues_[k - 1] = WithVisibleLineBreaks(fields[k + 2]);
        secret_[k - 1] = PasswordStore::IsSecretLabel(labels[k]);
        SetMasked(i, secret_[k - 1]);
    }
}

void MainWindow::ClearEntryDetails()
{
    for (int i = 1; i <= 3; ++i)
    {
        DetailLabel(i)->setText(QString());
        WipeString(detailValues_[static_cast<std::size_t>(i - 1)]);
        secret_[static_cast<std::size_t>(i - 1)] = false;
        SetMasked(i, false);
    }
}

void MainWindow::SetMasked(int i, bool masked)
{
    QLineEdit* field = DetailField(i);
    const SecureString& value = detailValues_[static_cast<std::size_t>(i - 1)];
    // The value is in the widget only while it is shown: masked, the widget holds one "*" per
    // character, and a value it held before is wiped.
    WipeLineEdit(*field);
    field->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    field->setText(masked ? QString(static_cast<qsizetype>(value.size()), QLatin1Char('*')) : FromCp1252(value));
    field->setCursorPosition(0);
    MarkSecretField(*field, !masked && secret_[static_cast<std::size_t>(i - 1)]);
    field->repaint();
}

void MainWindow::RevealSecretField(int i)
{
    if (!secret_[static_cast<std::size_t>(i - 1)])
    {
        return;
    }
    SetMasked(i, false);
    // Read at every reveal, so a changed setting applies at once.
    int delay = Settings::GetInt(settings::kConfig, settings::kHideTimer, settings::kDefaultHideTimer, true);
    hideTimer_.start(std::max(delay, 0));
}

void MainWindow::MaskSecretField(int i)
{
    if (!secret_[static_cast<std::size_t>(i - 1)])
    {
        return;
    }
    SetMasked(i, true);
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
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
    {
        for (int i = 1; i <= 3; ++i)
        {
            if (watched == DetailField(i))
            {
                if (event->type() == QEvent::FocusIn)
                {
                    RevealSecretField(i);
                }
                else
                {
                    MaskSecretField(i);
                }
            }
        }
    }
    return CDialogLayout::eventFilter(watched, event);
}

void MainWindow::ShowColumnNotice(int column)
{
    ShowMessage(column == 1 ? "Spaltensortierung nach Name ist noch nicht implementiert!"
                            : "Spaltensortierung ist noch nicht implementiert!",
                "Beta-Version", MessageIcon::Information);
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
    switch (command)
    {
    case command::kExit:
        OnCancel();
        break;
    case command::kHelp:
        OpenHelp();
        break;
    case command::kLock:
        LockSession();
        break;
    default:
        break;
    }
    CDialogLayout::OnMenuCommand(command);
}

void MainWindow::OpenHelp()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QString target = QDir(folder).filePath(QStringLiteral("kavelmark-hilfe.html"));
    QFile source(QString::fromLatin1(kHelpResource));
    QFile copy(target);
    bool written = QDir().mkpath(folder) && source.open(QIODevice::ReadOnly) &&
                   copy.open(QIODevice::WriteOnly | QIODevice::Truncate) && copy.write(source.readAll()) >= 0;
    copy.close();
    if (!written || !urlOpener_(QUrl::fromLocalFile(target)))
    {
        ShowMessage("Die Hilfeseite konnte nicht geöffnet werden:\n" + target.toStdString(), "Hilfe",
                    MessageIcon::Information);
    }
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

// Locking.

bool MainWindow::DialogOpen() const
{
    QWidget* modal = QApplication::activeModalWidget();
    // The loop level also covers a dialog that has closed while its run still unwinds: the
    // code behind that run may yet use what the lock would wipe.
    return (modal && modal != this) || QApplication::activePopupWidget() ||
           QThread::currentThread()->loopLevel() > runLoopLevel_;
}

int MainWindow::LockAfterSeconds()
{
    return Settings::GetInt(settings::kConfig, settings::kLockAfter, settings::kDefaultLockAfter, true);
}

void MainWindow::ArmIdleLock()
{
    const int seconds = LockAfterSeconds();
    waitedForDialog_ = false;
    if (seconds <= 0 || session_.Locked())
    {
        idleTimer_.stop();
        return;
    }
    lastInput_.start();
    idleTimer_.start(static_cast<int>(std::min<qint64>(qint64{seconds} * 1000, INT_MAX)));
}

void MainWindow::OnIdleTimeout()
{
    // Read again: the user may have changed it meanwhile.
    const int seconds = LockAfterSeconds();
    if (seconds <= 0 || session_.Locked())
    {
        return;
    }
    if (DialogOpen())
    {
        // The idle time starts again once the dialog has closed.
        waitedForDialog_ = true;
        idleTimer_.start(kDialogPollMs);
        return;
    }
    if (std::exchange(waitedForDialog_, false))
    {
        lastInput_.start();
    }
    const qint64 period = qint64{seconds} * 1000;
    const qint64 idle = lastInput_.isValid() ? lastInput_.elapsed() : period;
    if (idle < period)
    {
        idleTimer_.start(static_cast<int>(std::min<qint64>(period - idle, INT_MAX)));
        return;
    }
    if (!LockSession())
    {
        ArmIdleLock();
    }
}

bool MainWindow::LockSession()
{
    pendingLock_.stop();
    QTreeWidget* list = EntryList();
    if (!list)
    {
        return false;
    }
    if (session_.Locked())
    {
        HideOrMinimize();
        return true;
    }
    if (DialogOpen())
    {
        pendingLock_.start();
        return false;
    }
    RememberSelection();
    if (!session_.Lock())
    {
        ForgetSelection();
        return false;
    }
    idleTimer_.stop();
    hideTimer_.stop();
    if (auto* clipboard = findChild<EntryClipboard*>(QString(), Qt::FindDirectChildrenOnly))
    {
        clipboard->Guard().ClearIfOurs();
    }
    {
        const QSignalBlocker blocker(list);
        list->clear();
    }
    rowCategories_.clear();
    ClearEntryDetails();
    FillCategoryFilter();
    HideOrMinimize();
    return true;
}

bool MainWindow::UnlockSession()
{
    if (!session_.Locked())
    {
        return true;
    }
    if (unlocking_)
    {
        // The login already asks; it is brought to the front rather than asked twice.
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this)
        {
            modal->raise();
            modal->activateWindow();
        }
        return false;
    }
    unlocking_ = true;
    const bool unlocked = session_.Unlock();
    unlocking_ = false;
    if (!unlocked)
    {
        HideOrMinimize();
        return false;
    }
    RestoreSelection();
    showNormal();
    raise();
    activateWindow();
    ArmIdleLock();
    return true;
}

void MainWindow::RememberSelection()
{
    ForgetSelection();
    lockedFilter_ = CategoryFilter()->currentText();
    const QList<QTreeWidgetItem*> selected = EntryList()->selectedItems();
    if (PasswordStore::Position entry = selected.isEmpty() ? PasswordStore::Position() : RowEntry(selected.front()))
    {
        lockedName_ = store_.GetEntryName(entry);
        lockedCategory_ = store_.GetEntryCategory(entry);
        lockedSelection_ = true;
    }
}

void MainWindow::RestoreSelection()
{
    FillCategoryFilter();
    QComboBox* filter = CategoryFilter();
    const int keep = filter->findText(lockedFilter_, Qt::MatchExactly | Qt::MatchCaseSensitive);
    {
        const QSignalBlocker blocker(filter);
        filter->setCurrentIndex(keep > 0 ? keep : 0);
    }
    FillEntryList();
    QTreeWidget* list = EntryList();
    for (int i = 0; lockedSelection_ && i < list->topLevelItemCount(); ++i)
    {
        QTreeWidgetItem* row = list->topLevelItem(i);
        const PasswordStore::Position entry = RowEntry(row);
        if (entry && store_.GetEntryCategory(entry) == lockedCategory_ && store_.GetEntryName(entry) == lockedName_)
        {
            list->setCurrentItem(row);
            list->scrollToItem(row);
            ShowEntryDetails();
            break;
        }
    }
    ForgetSelection();
}

void MainWindow::ForgetSelection()
{
    lockedFilter_.clear();
    WipeString(lockedName_);
    WipeString(lockedCategory_);
    lockedSelection_ = false;
}

} // namespace kavelmark
