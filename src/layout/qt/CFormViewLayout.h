#pragma once

#include <QAbstractScrollArea>

#include "layout/qt/WidgetLayout.h"

namespace kavelmark
{

// A scrollable view of laid-out controls: its tree is built like a dialog's, the scroll
// range covers the laid-out minimum, and the controls are placed at the root's border less
// the scroll position, so they move with the scroll bars.
//
//   auto* view = new CFormViewLayout(parent);
//   view->SetControl(10, new QLabel(QStringLiteral("&Name")));
//   view->SetControl(11, new QLineEdit);
//   view->BeginPane(LAYOUT_HORIZONTAL);
//   view->AddControl(10, LAYOUT_FIXED);
//   view->AddControl(11, LAYOUT_FIXED_HEIGHT);
//   view->EndPane(); // finishes the tree
class CFormViewLayout : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CFormViewLayout(QWidget* parent = nullptr);

    // Controls live on the viewport (see QtWidgetLayoutOwner).
    void SetControl(int id, QWidget* widget)
    {
        layout_.SetControl(id, widget);
    }
    void SetControl(int id, QWidget* widget, ControlKind kind)
    {
        layout_.SetControl(id, widget, kind);
    }
    QWidget* Control(int id) const
    {
        return layout_.Control(id);
    }

    // Starts a fresh tree; building operations as in CDialogLayout.
    void Reset();
    bool BeginPane(int orientation, const LayoutRect* borders = nullptr, const std::string& name = {});
    bool AddControl(int controlId, int mode, int share = 0, std::uint32_t flags = 0);
    void AddSpace(int size, int minimum);
    void SetAlignment(int alignment);
    bool AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags);
    bool EndPane();

    // The laid-out minimum: the scrolled extent.
    QSize ContentSize() const
    {
        return layout_.MinimumSize();
    }
    CLayoutManager& Layout()
    {
        return layout_.Layout();
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollRanges();
    void RunLayout();

    WidgetLayout layout_;
};

} // namespace kavelmark
