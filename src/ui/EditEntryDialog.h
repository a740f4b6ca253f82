#pragma once

#include <QString>
#include <array>

#include "layout/qt/CDialogLayout.h"
#include "platform/ControlIds.h"
#include "platform/SecureString.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kavelmark
{

class PasswordStore;

// "Eintrag Hinzufügen": the modal dialog in which the user changes one entry. The three
// value fields carry the labels of the chosen category, and choosing another category
// relabels them while keeping what has been typed.
//
// The caller fills the members, runs the dialog, and after OK reads category, name,
// description and values back. A text the record format cannot hold (the field separator
// "_|_", a trailing "_|", a character outside code page 1252) is refused with a message
// and the dialog stays open.
class EditEntryDialog final : public CDialogLayout
{
    Q_OBJECT

public:
    static constexpr int kCategoryListId = control::edit::kCategoryList;
    static constexpr int kNameId = control::edit::kName;
    static constexpr int kDescriptionId = control::edit::kDescription;
    static constexpr std::array<int, 3> kLabelIds = control::edit::kLabels;
    static constexpr std::array<int, 3> kValueIds = control::edit::kValues;

    explicit EditEntryDialog(QWidget* parent = nullptr);
    ~EditEntryDialog() override;

    // Texts in code page 1252; a line break in a value is "\r\n". In: the entry; out after
    // OK: what the user chose and typed.
    SecureString category;
    SecureString name;
    SecureString description;
    std::array<SecureString, 3> values;
    // "$&1: " and the category's label 1, and so on.
    std::array<QString, 3> labels;
    // Where category records are looked up, and the main window's category filter, whose
    // items but the first make the category list. Neither is owned.
    const PasswordStore* store = nullptr;
    const QComboBox* sourceFilter = nullptr;

    // The controls, while the dialog is created.
    QComboBox* CategoryList() const;
    QLineEdit* NameEdit() const;
    QLineEdit* DescriptionEdit() const;
    QPlainTextEdit* ValueEdit(int i) const;
    QLabel* Label(int i) const;

    void OnCategoryChanged();

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void ShowTexts();
    void ShowLabel(int i, const QString& label);
    void FitLabelColumn();
    bool ReadTexts();
};

} // namespace kavelmark
