#include "ui/FindDialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/DialogTemplates.h"

namespace kavelmark
{

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
