#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "layout/CLayoutManager.h"
#include "layout/qt/SetAsideWidgets.h"
#include "platform/qt/DialogTemplate.h"

namespace kavelmark
{

class QtLayoutWindow;

// The item of the manager whose window is this widget, or null.
CLayoutItem* FindWidgetItem(const CLayoutManager& layout, const QWidget* widget);

// The control kind a template would give this widget: combo boxes, check boxes, labels and
// the rest keep their sizing rules. A widget of no template kind counts as a plain static.
ControlKind GuessControlKind(const QWidget* widget);

// The layout's view of a plain widget whose controls are registered by id (a property
// page, a property sheet, a form view): the widgets that a dialog template would create.
class QtWidgetLayoutOwner final : public LayoutOwner
{
public:
    explicit QtWidgetLayoutOwner(QWidget& host);
    ~QtWidgetLayoutOwner() override;

    // Makes `widget` a child of the host known under `id`. A group box is a QLabel holding
    // its caption, registered with ControlKind::GroupBox, as the template builder makes it.
    void SetControl(int id, QWidget* widget, ControlKind kind, std::uint32_t style = ControlStyle::None);
    QWidget* Widget(int id) const;

    LayoutWindow* Control(int id) override;
    LayoutRect ClientRect() const override;
    int FontHeight() const override;
    std::unique_ptr<LayoutGroupFrame> CreateGroupFrame(LayoutWindow& frameControl, const std::string& caption) override;
    LayoutRect TabWindowRectForEmptyDisplay(LayoutWindow& tabControl) override;
    void FillBackground() override;
    void DispatchPendingMessages() override;
    bool IsThemeActive() const override;

private:
    struct Entry
    {
        QPointer<QWidget> widget;
        ControlKind kind = ControlKind::Static;
        std::uint32_t style = ControlStyle::None;
        std::unique_ptr<QtLayoutWindow> window;
    };
    LayoutWindow* PreviousOf(const QWidget* widget);
    int IdOf(const QWidget* widget) const;

    QWidget& host_;
    std::map<int, Entry> entries_;
    std::vector<int> order_; // registration order stands for the template's z-order
    SetAsideWidgets setAside_;
};

// A layout tree over a plain widget, with the building operations of CDialogLayout. The
// tree's root has no borders: an embedded widget has no window frame to keep clear of.
class WidgetLayout
{
public:
    explicit WidgetLayout(QWidget& host);

    void SetControl(int id, QWidget* widget)
    {
        owner_.SetControl(id, widget, GuessControlKind(widget));
    }
    void SetControl(int id, QWidget* widget, ControlKind kind, std::uint32_t style = ControlStyle::None)
    {
        owner_.SetControl(id, widget, kind, style);
    }
    QWidget* Control(int id) const
    {
        return owner_.Widget(id);
    }

    // A fresh tree owned by the host.
    void Reset();
    bool BeginPane(int orientation, const LayoutRect* borders = nullptr, const std::string& name = {})
    {
        return layout_.BeginPane(orientation, borders, name);
    }
    bool AddControl(int controlId, int mode, int share = 0, std::uint32_t flags = 0)
    {
        return layout_.AddControl(controlId, mode, share, flags);
    }
    void AddSpace(int size, int minimum)
    {
        layout_.AddSpace(size, minimum);
    }
    void SetAlignment(int alignment)
    {
        layout_.SetAlignment(alignment);
    }
    bool AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags)
    {
        return layout_.AddGroup(frameId, orientation, buddyId, groupKind, flags);
    }
    // Closes the current pane; the outermost call finishes the tree (minimums, group
    // members, first placement) and returns true.
    bool EndPane();
    bool Finished() const
    {
        return finished_;
    }
    // The laid-out minimum size of the host.
    QSize MinimumSize() const;
    // Distribute and Place for the host's current size, the controls shifted by `offset`.
    void Relayout(QPoint offset = {});

    CLayoutManager& Layout()
    {
        return layout_;
    }
    const CLayoutManager& Layout() const
    {
        return layout_;
    }

private:
    QtWidgetLayoutOwner owner_;
    CLayoutManager layout_;
    bool finished_ = false;
};

} // namespace kavelmark
