#include "ui/FindDialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/DialogTemplates.h"

namespace kavelmark
{
namespace
{

const DialogTemplate& FindTemplate()
{
    using namespace ControlStyle;
    static const DialogTemplate dialog{
        0,
        "Suchen",
        180,
        48,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable,
        nullptr,
        {
            Ctl(FindDialog::kTextLabelId, ControlKind::Static, "Suchen &nach:", 7, 9, 50, 8, GroupStart),
            Ctl(FindDialog::kTextId, ControlKind::Edit, "", 60, 7, 113, 12, AutoHScroll | Border | TabStop),
            Ctl(IDOK, ControlKind::DefaultButton, "&Weitersuchen", 68, 27, 50, 14, TabStop | GroupStart),
            Ctl(IDCANCEL, ControlKind::PushButton, "Abbrechen", 123, 27, 50, 14, TabStop),
        },
    };
    return dialog;
}

} // namespace

FindDialog::FindDialog(QWidget* parent, const QString& text, std::function<void(const QString&)> findNext)
    : CDialogLayout(FindTemplate(), parent, "DlgPos_Find", false, LF_SAVE_POSITION | LF_SAVE_SIZE), text_(text),
      findNext_(std::move(findNext))
{
}

QLineEdit* FindDialog::TextEdit() const
{
    return ControlAs<QLineEdit>(kTextId);
}

bool FindDialog::OnInitDialog()
{
    CDialogLayout::OnInitDialog();

    BeginOkCancelFrame();
    BeginPane(LAYOUT_HORIZONTAL);
    SetAlignment(ALIGN_CROSS_CENTER_Y);
    AddControl(kTextLabelId, LAYOUT_FIXED);
    AddControl(kTextId, LAYOUT_FIXED_HEIGHT);
    EndPane();
    EndOkCancelFrame();

    TextEdit()->setText(text_);
    TextEdit()->selectAll();
    TextEdit()->setFocus();
    return true;
}

void FindDialog::OnOK()
{
    // The dialog stays open: the next press finds the next match.
    text_ = TextEdit()->text();
    if (findNext_ && !text_.isEmpty())
    {
        findNext_(text_);
    }
}

} // namespace kavelmark
