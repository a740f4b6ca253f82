#pragma once

#include <QPointer>

#include "layout/qt/CDialogLayout.h"
#include "layout/qt/CFormViewLayout.h"
#include "layout/qt/CPropertySheetLayout.h"
#include "layout/qt/CSplitterBar.h"

namespace kavelmark
{

// Ids of the gallery's controls.
namespace gallery
{
constexpr int kSheet = 1000;
constexpr int kFormBox = 1001;
constexpr int kListLeft = 1002;
constexpr int kSplitter = 1003;
constexpr int kListRight = 1004;
// On the first page: the group, its buddy check box and the two labelled fields.
constexpr int kAccountGroup = 10;
constexpr int kActive = 11;
constexpr int kNameLabel = 12;
constexpr int kNameEdit = 13;
constexpr int kPlaceLabel = 14;
constexpr int kPlaceEdit = 15;
} // namespace gallery

// One window with every kind of item the layout library offers: a property sheet of two
// layout pages (one with a group box whose buddy is a check box), a form view with more
// controls than fit, and a splitter bar between two lists.
class GalleryDialog : public CDialogLayout
{
    Q_OBJECT

public:
    explicit GalleryDialog(QWidget* parent = nullptr);
    ~GalleryDialog() override;

    CPropertySheetLayout* Sheet() const
    {
        return sheet_;
    }
    CFormViewLayout* FormView() const
    {
        return formView_;
    }
    CSplitterBar* Splitter() const
    {
        return splitter_;
    }

protected:
    bool OnInitDialog() override;

private:
    QPointer<CPropertySheetLayout> sheet_;
    QPointer<CFormViewLayout> formView_;
    QPointer<CSplitterBar> splitter_;
};

} // namespace kavelmark
