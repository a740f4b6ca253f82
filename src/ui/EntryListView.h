#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <memory>
#include <string_view>
#include <vector>

#include "store/PasswordStore.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace kavelmark
{

// The entry list's rows: one per entry that the category filter lets through, sorted by
// category and tied to their entries by store position. Names and descriptions show their
// placeholders expanded, with the values of secret columns masked. Owns the category images
// and the category column that the rows of one category share.
class EntryListView
{
public:
    static constexpr const char* kAllCategories = "alle Kategorien anzeigen";
    static constexpr int kImageSize = 32;

    EntryListView();
    EntryListView(const EntryListView&) = delete;
    EntryListView& operator=(const EntryListView&) = delete;

    // Replaces the list's rows with those of the store under the filter's text; returns the row
    // of the entry that comes last in the store, null when no row is left.
    QTreeWidgetItem* Fill(QTreeWidget& list, const PasswordStore& store, const QString& filterText);
    // Takes every row away, and with them the shared category columns.
    void Clear(QTreeWidget& list);

    // The entry a row stands for (null when the row is none of ours).
    static PasswordStore::Position RowEntry(const QTreeWidgetItem* row);
    // The row of that entry; null when it is not listed.
    static QTreeWidgetItem* RowOf(const QTreeWidget& list, PasswordStore::Position entry);
    // The row of the entry whose record is `record`, else of one of the same category and name
    // (another version of it); null when there is none.
    static QTreeWidgetItem* RowLike(const QTreeWidget& list, const PasswordStore& store, std::string_view record);
    // Image index of a category name (cp1252), 0 for names that are not built in.
    static int CategoryImageIndex(std::string_view category);
    const QIcon& CategoryImage(int index) const
    {
        return images_.at(index);
    }

    // The category column that the rows of one category share.
    struct RowCategory
    {
        QString text;
        QIcon image;
    };

private:
    QList<QIcon> images_;
    std::vector<std::unique_ptr<RowCategory>> rowCategories_;
};

} // namespace kavelmark
