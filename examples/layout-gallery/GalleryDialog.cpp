#include "GalleryDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <string>
#include <utility>

#include "layout/qt/CFormViewBox.h"
#include "layout/qt/CFormViewLayout.h"
#include "layout/qt/CPropertyPageLayout.h"
#include "layout/qt/CPropertySheetLayout.h"
#include "layout/qt/CSplitterBar.h"

namespace kavelmark
{
namespace
{

using namespace gallery;

// Widgets are measured as they are when the tree is finished: give them their natural size.
template <typename T> T* Sized(T* widget)
{
    widget->resize(widget->sizeHint());
    return widget;
}

QLabel* Labelling(const QString& text, QWidget* field)
{
    auto* label = new QLabel(text);
    label->setBuddy(field);
    return label;
}

std::vector<std::string> Entries(const char* prefix)
{
    std::vector<std::string> entries;
    for (int i = 1; i <= 20; ++i)
    {
        entries.push_back(std::string(prefix) + " " + std::to_string(i));
    }
    return entries;
}

const DialogTemplate& GalleryTemplate()
{
    static const DialogTemplate dialog{
        0,
        "Panelgrid-Galerie",
        300,
        220,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable | DialogStyle::MinimizeBox | DialogStyle::MaximizeBox | DialogStyle::AppWindow,
        nullptr,
        {
            // Place holders for the library's own windows, replaced in OnInitDialog.
            ControlTemplate{kSheet, ControlKind::Static, "", 4, 4, 140, 100, ControlStyle::None, {}},
            ControlTemplate{kFormBox, ControlKind::Static, "", 150, 4, 146, 100, ControlStyle::None, {}},
            ControlTemplate{kListLeft, ControlKind::ListBox, "", 4, 108, 140, 90,
                            ControlStyle::Border | ControlStyle::TabStop, Entries("Links")},
            ControlTemplate{kSplitter, ControlKind::Static, "", 144, 108, 4, 90, ControlStyle::None, {}},
            ControlTemplate{kListRight, ControlKind::ListBox, "", 150, 108, 146, 90,
                            ControlStyle::Border | ControlStyle::TabStop, Entries("Rechts")},
            ControlTemplate{IDOK, ControlKind::DefaultButton, "Schließen", 246, 202, 50, 14, ControlStyle::TabStop, {}},
        },
    };
    return dialog;
}

// A group box whose buddy check box sits in its caption line, around two labelled fields.
class AccountPage : public CPropertyPageLayout
{
public:
    AccountPage() : CPropertyPageLayout(QStringLiteral("Konto"))
    {
        SetControl(kAccountGroup, Sized(new QLabel(QStringLiteral("Konto"))), ControlKind::GroupBox);
        SetControl(kActive, Sized(new QCheckBox(QStringLiteral("&Aktiv"))));
        auto* name = new QLineEdit;
        auto* place = new QLineEdit;
        // A label's "&" marks its mnemonic only when the label has a field to lead to.
        SetControl(kNameLabel, Sized(Labelling(QStringLiteral("&Name:"), name)));
        SetControl(kNameEdit, Sized(name));
        SetControl(kPlaceLabel, Sized(Labelling(QStringLiteral("&Ort:"), place)));
        SetControl(kPlaceEdit, Sized(place));
    }

protected:
    bool OnInitDialog() override
    {
        CPropertyPageLayout::OnInitDialog();
        BeginPane(LAYOUT_VERTICAL);
        AddSpace(5, 0);
        BeginPane(LAYOUT_HORIZONTAL);
        AddSpace(5, 0);
        AddGroup(kAccountGroup, LAYOUT_VERTICAL, kActive, GROUP_BOX, 0);
        for (const auto& [label, field] : {std::pair{kNameLabel, kNameEdit}, std::pair{kPlaceLabel, kPlaceEdit}})
        {
            BeginPane(LAYOUT_HORIZONTAL);
            SetAlignment(ALIGN_CROSS_CENTER_Y);
            AddControl(label, LAYOUT_FIT_TEXT);
            AddSpace(5, 0);
            AddControl(field, LAYOUT_FIXED_HEIGHT);
            EndPane();
            AddSpace(5, 0);
        }
        EndPane();
        AddSpace(5, 0);
        EndPane();
        AddSpace(0, 0);
        EndPane();
        return true;
    }
};

// Larger than the first page: activating it enlarges the sheet and the window.
class NotesPage : public CPropertyPageLayout
{
public:
    NotesPage() : CPropertyPageLayout(QStringLiteral("Notizen"))
    {
        auto* notes = new QPlainTextEdit(QStringLiteral("Diese Seite ist größer als die erste: "
                                                        "wird sie gewählt, wächst das Fenster mit."));
        notes->resize(420, 260);
        SetControl(20, notes);
    }

protected:
    bool OnInitDialog() override
    {
        CPropertyPageLayout::OnInitDialog();
        BeginPane(LAYOUT_VERTICAL);
        AddSpace(5, 0);
        BeginPane(LAYOUT_HORIZONTAL);
        AddSpace(5, 0);
        AddControl(20, LAYOUT_STRETCH);
        AddSpace(5, 0);
        EndPane();
        AddSpace(5, 0);
        EndPane();
        return true;
    }
};

// More rows than the box shows: the rows scroll.
void BuildFormView(CFormViewLayout& view)
{
    constexpr int kRows = 12;
    for (int row = 0; row < kRows; ++row)
    {
        view.SetControl(100 + 2 * row, Sized(new QLabel(QStringLiteral("Feld %1:").arg(row + 1))));
        view.SetControl(101 + 2 * row, Sized(new QLineEdit));
    }
    view.BeginPane(LAYOUT_VERTICAL);
    view.AddSpace(5, 0);
    for (int row = 0; row < kRows; ++row)
    {
        view.BeginPane(LAYOUT_HORIZONTAL);
        view.SetAlignment(ALIGN_CROSS_CENTER_Y);
        view.AddSpace(5, 0);
        view.AddControl(100 + 2 * row, LAYOUT_FIT_TEXT);
        view.AddSpace(5, 0);
        view.AddControl(101 + 2 * row, LAYOUT_FIXED_HEIGHT);
        view.AddSpace(5, 0);
        view.EndPane();
        view.AddSpace(5, 0);
    }
    view.EndPane();
}

} // namespace

GalleryDialog::GalleryDialog(QWidget* parent) : CDialogLayout(GalleryTemplate(), parent, "", true, 0)
{
}

GalleryDialog::~GalleryDialog() = default;

bool GalleryDialog::OnInitDialog()
{
    CDialogLayout::OnInitDialog();

    // Every run starts from fresh widgets; the form view is no template control.
    delete formView_.data();

    sheet_ = new CPropertySheetLayout;
    sheet_->AddPage(new AccountPage);
    sheet_->AddPage(new NotesPage);
    ReplaceControl(kSheet, sheet_);
    sheet_->Create();

    auto* box = new CFormViewBox;
    ReplaceControl(kFormBox, box);
    formView_ = new CFormViewLayout(this);
    BuildFormView(*formView_);
    box->SetCompanion(formView_);

    splitter_ = new CSplitterBar;
    ReplaceControl(kSplitter, splitter_);

    BeginPane(LAYOUT_VERTICAL);
    AddSpace(5, 0);
    BeginPane(LAYOUT_HORIZONTAL);
    AddSpace(5, 0);
    AddControl(kSheet, LAYOUT_STRETCH);
    AddSpace(5, 0);
    AddControl(kFormBox, LAYOUT_STRETCH);
    AddSpace(5, 0);
    EndPane();
    AddSpace(5, 0);
    BeginPane(LAYOUT_HORIZONTAL);
    AddSpace(5, 0);
    AddControl(kListLeft, LAYOUT_STRETCH);
    AddControl(kSplitter, LAYOUT_FIXED_WIDTH);
    AddControl(kListRight, LAYOUT_STRETCH);
    AddSpace(5, 0);
    EndPane();
    AddSpace(5, 0);
    BeginPane(LAYOUT_HORIZONTAL);
    AddSpace(0, 0);
    AddControl(IDOK, LAYOUT_FIXED);
    AddSpace(5, 0);
    EndPane();
    AddSpace(5, 0);
    EndPane();

    splitter_->SetLayout(&Layout());
    return true;
}

} // namespace kavelmark
