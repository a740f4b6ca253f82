#include "ui/EntryListView.h"

#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <map>

#include "platform/qt/QtText.h"
#include "platform/qt/SecretText.h"
#include "store/BuiltInCategories.h"

namespace kavelmark
{
namespace
{

// Image files in the order of the image list: TELNET, Datenbank, (unused), DFÜ, FTP,
// Web-Site, PIN/TAN, " Hmm?".
constexpr const char* kImageFiles[] = {
    ":/kavelmark/icons/category_telnet.xpm", ":/kavelmark/icons/category_database.xpm",
    ":/kavelmark/icons/category_unused.xpm", ":/kavelmark/icons/category_dialup.xpm",
    ":/kavelmark/icons/category_ftp.xpm",    ":/kavelmark/icons/category_website.xpm",
    ":/kavelmark/icons/category_pintan.xpm", ":/kavelmark/icons/category_hmm.xpm",
};
// A row of the entry list, tied to its entry by the store position it carries. It holds
// its texts itself, and shares its category column with the other rows of the category:
// on long lists the generic item's per-column storage would cost more than the fill.
class EntryRow final : public QTreeWidgetItem
{
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;

    EntryRow(PasswordStore::Position entry, const EntryListView::RowCategory& category, const QString& name,
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
    const EntryListView::RowCategory& category_;
    QString texts_; // name, then description
    qsizetype nameLength_;
};

// The list's collation: case-insensitive, ties broken by the exact text.
bool ColumnTextLess(const QString& a, const QString& b)
{
    int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

} // namespace

EntryListView::EntryListView()
{
    for (const char* image : kImageFiles)
    {
        images_.append(QIcon(QString::fromLatin1(image)));
    }
}

int EntryListView::CategoryImageIndex(std::string_view category)
{
    for (const BuiltInCategory& builtIn : BuiltInCategoryTable)
    {
        if (builtIn.name == category)
        {
            return builtIn.image;
        }
    }
    return 0;
}

PasswordStore::Position EntryListView::RowEntry(const QTreeWidgetItem* row)
{
    if (!row || row->type() != EntryRow::kType)
    {
        return {};
    }
    return static_cast<const EntryRow*>(row)->Entry();
}

QTreeWidgetItem* EntryListView::RowOf(const QTreeWidget& list, PasswordStore::Position entry)
{
    for (int i = 0; i < list.topLevelItemCount(); ++i)
    {
        QTreeWidgetItem* row = list.topLevelItem(i);
        if (entry && RowEntry(row) == entry)
        {
            return row;
        }
    }
    return nullptr;
}

QTreeWidgetItem* EntryListView::RowLike(const QTreeWidget& list, const PasswordStore& store, std::string_view record)
{
    std::array<std::string_view, 2> wanted;
    PasswordStore::ViewFields(record, wanted);
    QTreeWidgetItem* sameName = nullptr;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
    {
        QTreeWidgetItem* row = list.topLevelItem(i);
        const PasswordStore::Position entry = RowEntry(row);
        if (!entry)
        {
            continue;
        }
        const std::string_view candidate = store.GetAt(entry);
        if (candidate == record)
        {
            return row;
        }
        std::array<std::string_view, 2> fields;
        PasswordStore::ViewFields(candidate, fields);
        if (!sameName && fields == wanted)
        {
            sameName = row;
        }
    }
    return sameName;
}

void EntryListView::Clear(QTreeWidget& list)
{
    {
        const QSignalBlocker blocker(list);
        list.clear();
    }
    rowCategories_.clear();
}

QTreeWidgetItem* EntryListView::Fill(QTreeWidget& list, const PasswordStore& store, const QString& filterText)
{
    const QSignalBlocker blocker(list);
    list.clear();

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
    rows.reserve(store.GetCount());
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
        PasswordStore::ViewFields(store.GetAt(entry), fields);
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
    for (PasswordStore::Position pos = store.GetHeadPosition(); pos; pos = store.GetNextPosition(pos))
    {
        const std::string_view record(store.GetAt(pos));
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
    list.addTopLevelItems(items);
    return lastInStore;
}

} // namespace kavelmark
