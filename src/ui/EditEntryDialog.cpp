#include "ui/EditEntryDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <optional>
#include <vector>

#include "platform/Messages.h"
#include "platform/qt/DialogTemplates.h"
#include "platform/qt/LabelLinks.h"
#include "platform/qt/QtText.h"
#include "store/PasswordStore.h"
#include "ui/GeneratorDialog.h"
#include "ui/SecretSelection.h"
#include "ui/UiTexts.h"

namespace kavelmark
{
namespace
{

constexpr int kCategoryLabelId = 1027;
constexpr int kNameLabelId = 1029;
constexpr int kDescriptionLabelId = 1028;

QString ValueText(const QPlainTextEdit& edit)
{
    // The raw text keeps what the user typed (toPlainText would turn a no-break space into a
    // blank); its paragraph and line separators are the record's "\r\n".
    QString text = edit.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text;
}

void SetValueText(QPlainTextEdit& edit, const QString& value)
{
    QString lines = value;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    edit.setPlainText(lines);
}

// A label as the user reads it: "$&1: User" names its field "$1: User".
QString FieldTitle(const QLabel& label)
{
    QString title = label.text();
    title.replace(QLatin1String("&&"), QLatin1String("\x01"));
    title.remove(QLatin1Char('&'));
    title.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    title = title.trimmed();
    if (title.endsWith(QLatin1Char(':')))
    {
        title.chop(1);
    }
    return title;
}

QString RefusalText(const QString& field, std::string_view text)
{
    QString reason;
    if (text.find("_|_") != std::string_view::npos)
    {
        reason = QString::fromUtf8(kSeparatorInFieldText);
    }
    else
    {
        reason = QString::fromUtf8(kSeparatorAtEndText);
    }
    return QString::fromUtf8(kUnstorableFieldText).arg(field) + reason + QString::fromUtf8(kChangeTheTextText);
}

void Refuse(const QString& text, QWidget* control)
{
    ShowMessage(text.toStdString(), kEditCaption, MessageIcon::Information);
    control->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(control))
    {
        line->selectAll();
    }
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
    {
        plain->selectAll();
    }
}

} // namespace

EditEntryDialog::EditEntryDialog(QWidget* parent)
    : CDialogLayout(EditEntryTemplate(), parent, "DlgPos_EditEntry", false, LF_SAVE_POSITION | LF_SAVE_SIZE)
{
}

EditEntryDialog::~EditEntryDialog()
{
    for (SecureString* text : {&category, &name, &description, &values[0], &values[1], &values[2]})
    {
        WipeString(*text);
    }
}

QComboBox* EditEntryDialog::CategoryList() const
{
    return ControlAs<QComboBox>(kCategoryListId);
}

QLineEdit* EditEntryDialog::NameEdit() const
{
    return ControlAs<QLineEdit>(kNameId);
}

QLineEdit* EditEntryDialog::DescriptionEdit() const
{
    return ControlAs<QLineEdit>(kDescriptionId);
}

QPlainTextEdit* EditEntryDialog::ValueEdit(int i) const
{
    return ControlAs<QPlainTextEdit>(kValueIds, i);
}

QLabel* EditEntryDialog::Label(int i) const
{
    return ControlAs<QLabel>(kLabelIds, i);
}

void EditEntryDialog::FitLabelColumn()
{
    // Every label that choosing a category can show, so that none is cut or wrapped; the
    // column keeps one width for all its rows.
    QStringList texts(labels.begin(), labels.end());
    for (PasswordStore::Position pos = store ? store->GetHeadPosition() : PasswordStore::Position(); pos;
         pos = store->GetNextPosition(pos))
    {
        if (PasswordStore::IsCategoryRecord(store->GetAt(pos)))
        {
            for (int i = 1; i <= 3; ++i)
            {
                texts << QStringLiteral("$&%1: ").arg(i) + FromCp1252(store->GetCategoryLabel(pos, i));
            }
        }
    }
    std::vector<QLabel*> column;
    for (int id : {kCategoryLabelId, kNameLabelId, kDescriptionLabelId})
    {
        column.push_back(ControlAs<QLabel>(id));
        texts << column.back()->text();
    }
    for (int i = 1; i <= 3; ++i)
    {
        column.push_back(Label(i));
    }
    FitLabelsToTexts(column, texts);
}

bool EditEntryDialog::OnInitDialog()
{
    CDialogLayout::OnInitDialog();
    ShowTexts();
    FitLabelColumn();

    BeginPane(LAYOUT_HORIZONTAL);
    AddSpace(5, 3);
    BeginPane(LAYOUT_VERTICAL);
    AddSpace(5, 3);
    BeginPane(LAYOUT_HORIZONTAL);
    BeginPane(LAYOUT_VERTICAL);

    const std::pair<int, int> rows[] = {
        {kCategoryLabelId, kCategoryListId}, {kNameLabelId, kNameId},      {kDescriptionLabelId, kDescriptionId},
        {kLabelIds[0], kValueIds[0]},        {kLabelIds[1], kValueIds[1]},
    };
    for (const auto& [label, control] : rows)
    {
        if (label != kCategoryLabelId)
        {
            AddSpace(10, 3);
        }
        BeginPane(LAYOUT_HORIZONTAL);
        AddControl(label, LAYOUT_FIXED);
        AddControl(control, control == kCategoryListId ? LAYOUT_FIXED_HEIGHT : LAYOUT_STRETCH);
        EndPane();
    }
    AddSpace(10, 3);

    // The buttons stand under the last label, so that value 3 takes all the room left.
    BeginPane(LAYOUT_HORIZONTAL);
    BeginPane(LAYOUT_VERTICAL);
    AddControl(kLabelIds[2], LAYOUT_FIXED);
    AddSpace(0, 0);
    AddControl(IDOK, LAYOUT_FIXED);
    AddSpace(10, 3);
    AddControl(IDCANCEL, LAYOUT_FIXED);
    EndPane();
    AddControl(kValueIds[2], LAYOUT_STRETCH);
    EndPane();

    EndPane();
    EndPane();
    AddSpace(5, 3);
    EndPane();
    AddSpace(5, 3);
    EndPane();

    QComboBox* list = CategoryList();
    {
        const QSignalBlocker blocker(list);
        list->clear();
        // The main window's filter without its first item, "alle Kategorien anzeigen".
        for (int k = 1; sourceFilter && k < sourceFilter->count(); ++k)
        {
            list->insertItem(k - 1, sourceFilter->itemText(k));
        }
        // An exact match first: with categories differing in case only, the entry keeps its own.
        const QString current = FromCp1252(category);
        int found = list->findText(current, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found < 0)
        {
            found = list->findText(current, Qt::MatchFixedString);
        }
        list->setCurrentIndex(found);
    }
    connect(list, &QComboBox::currentIndexChanged, this, &EditEntryDialog::OnCategoryChanged);
    for (int i = 1; i <= 3; ++i)
    {
        GeneratorDialog::OfferIn(*ValueEdit(i));
    }
    list->setFocus();
    return true;
}

void EditEntryDialog::ShowLabel(int i, const QString& label)
{
    SetLabelText(*Label(i), label);
    // The values stand in clear here: a secret one must not reach the primary selection.
    MarkSecretField(*ValueEdit(i), PasswordStore::IsSecretLabel(label.toStdString()));
}

void EditEntryDialog::ShowTexts()
{
    NameEdit()->setText(FromCp1252(name));
    DescriptionEdit()->setText(FromCp1252(description));
    for (int i = 1; i <= 3; ++i)
    {
        // Labelled first: a secret value goes into a field already marked as showing one.
        ShowLabel(i, labels[static_cast<std::size_t>(i - 1)]);
        SetValueText(*ValueEdit(i), FromCp1252(values[static_cast<std::size_t>(i - 1)]));
    }
}

void EditEntryDialog::OnCategoryChanged()
{
    QComboBox* list = CategoryList();
    if (!store || list->currentIndex() < 0)
    {
        return;
    }
    std::optional<SecureString> chosen = ToCp1252(list->currentText());
    PasswordStore::Position record = chosen ? store->FindCategory(*chosen) : PasswordStore::Position();
    if (!record)
    {
        return;
    }
    // Only the labels change: the typed texts stay in their controls as they are, even
    // those that could not be stored yet.
    for (int i = 1; i <= 3; ++i)
    {
        QString& label = labels[static_cast<std::size_t>(i - 1)];
        label = QStringLiteral("$&%1: ").arg(i) + FromCp1252(store->GetCategoryLabel(record, i));
        ShowLabel(i, label);
    }
}

bool EditEntryDialog::ReadTexts()
{
    struct Field
    {
        QWidget* control;
        QString title;
        QString text;
        SecureString* member;
        std::optional<SecureString> bytes;
    };
    Field fields[] = {
        {NameEdit(), QStringLiteral("Name"), NameEdit()->text(), &name, {}},
        {DescriptionEdit(), QStringLiteral("Beschreibung"), DescriptionEdit()->text(), &description, {}},
        {ValueEdit(1), FieldTitle(*Label(1)), ValueText(*ValueEdit(1)), &values[0], {}},
        {ValueEdit(2), FieldTitle(*Label(2)), ValueText(*ValueEdit(2)), &values[1], {}},
        {ValueEdit(3), FieldTitle(*Label(3)), ValueText(*ValueEdit(3)), &values[2], {}},
    };
    for (Field& field : fields)
    {
        field.bytes = ToCp1252(field.text);
        if (!field.bytes)
        {
            Refuse(QString::fromUtf8(kUnstorableFieldText).arg(field.title) + Cp1252RefusalText(), field.control);
            return false;
        }
        if (!PasswordStore::IsStorableField(*field.bytes))
        {
            Refuse(RefusalText(field.title, *field.bytes), field.control);
            return false;
        }
    }
    // Nothing is taken over unless every field can be stored.
    for (Field& field : fields)
    {
        WipeString(*field.member);
        *field.member = std::move(*field.bytes);
    }
    return true;
}

void EditEntryDialog::OnOK()
{
    if (!ReadTexts())
    {
        return;
    }
    // With no category chosen (the entry's own is not in the list) the entry keeps its own.
    QComboBox* list = CategoryList();
    if (list->currentIndex() >= 0)
    {
        if (std::optional<SecureString> chosen = ToCp1252(list->currentText()))
        {
            category = std::move(*chosen);
        }
    }
    CDialogLayout::OnOK();
}

} // namespace kavelmark
