#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "layout/CLayoutManager.h"
#include "platform/qt/DataExchange.h"
#include "platform/qt/DialogTemplate.h"

class QStatusBar;

namespace kavelmark
{

class QtLayoutOwner;

// Base class of every resizable dialog: builds its widgets from a template, lets the
// derived dialog describe a layout tree, resizes the controls with the window and
// remembers the window placement under a settings section.
//
// A derived dialog:
//
//   class ConfigDialog : public CDialogLayout
//   {
//   public:
//       explicit ConfigDialog(QWidget* parent)
//           : CDialogLayout(ConfigTemplate(), parent, "DlgPos_Config", false,
//                           LF_SAVE_POSITION | LF_SAVE_SIZE) {}
//   protected:
//       bool OnInitDialog() override
//       {
//           CDialogLayout::OnInitDialog(); // first: members shown, fresh tree
//           BeginPane(LAYOUT_HORIZONTAL);
//           AddSpace(5, 3);
//           ...
//           AddControl(1031, LAYOUT_FIXED_HEIGHT);
//           ...
//           EndPane(); // the outermost one finishes the layout, restores the placement
//           // connect signals, fill lists, set members and UpdateData(false) here
//           return true;
//       }
//       void DoDataExchange(DataExchange& dx) override
//       {
//           CDialogLayout::DoDataExchange(dx);
//           dx.Text(Control(1031), fileName);
//       }
//       void OnOK() override { if (UpdateData()) CDialogLayout::OnOK(); } // ends with IDOK
//   };
//
//   ConfigDialog dialog(mainWindow);
//   int result = dialog.exec(); // IDOK (1) or IDCANCEL (2)
//
// exec() (and show() or Create() for a modeless window) creates the widgets from the
// template and runs OnInitDialog; every modal run starts from fresh widgets, like a
// dialog window created anew. Control(id) is null before that, so connect control
// signals and fill lists in OnInitDialog; after the run the widgets stay readable until
// the next one. The controls with ids IDOK and IDCANCEL call OnOK and OnCancel; Enter on a
// focused push button presses that button, elsewhere Enter
// presses the default button; Escape and the close box call OnCancel. Ending the dialog
// (done, accept, reject, close) saves the placement first. Menu items of the template's
// menu bar call OnMenuCommand with their command id. A fixed dialog that needs no layout
// (the login dialog) builds no tree and passes an empty placement key; it keeps its
// template size.
class CDialogLayout : public QDialog
{
    Q_OBJECT

public:
    CDialogLayout(const DialogTemplate& dialogTemplate, QWidget* parent, const std::string& placementKey,
                  bool wantStatusBar, std::uint32_t layoutFlags);
    ~CDialogLayout() override;

    // Creates the widgets and runs OnInitDialog when that has not happened for this run.
    bool Create();
    int exec() override;
    void setVisible(bool visible) override;
    void done(int result) override;
    void reject() override;
    void accept() override;

    // Saves the placement (when there is a key and the window was created) and hides.
    void DestroyWindow();

    // The control with this template id, or null.
    QWidget* Control(int id) const;
    template <typename T> T* ControlAs(int id) const
    {
        return qobject_cast<T*>(Control(id));
    }
    // Control number i (from 1) of a row of like controls.
    template <typename T, std::size_t N> T* ControlAs(const std::array<int, N>& ids, int i) const
    {
        return ControlAs<T>(ids.at(static_cast<std::size_t>(i - 1)));
    }
    QMenuBar* MenuBar() const;
    // The menu item with this command id, or null.
    QAction* MenuAction(int command) const;
    // Puts `widget` in the place of the template's control with this id (a placeholder,
    // typically an empty static): same id, geometry, visibility and tab position; the
    // placeholder is deleted and the dialog owns the widget. For widgets a template cannot
    // describe (a property sheet, a form-view box, a splitter bar); call it in OnInitDialog
    // before adding the control to the tree.
    QWidget* ReplaceControl(int id, QWidget* widget);
    QStatusBar* StatusBar() const
    {
        return statusBar_;
    }

    // Building operations (see CLayoutManager); call them from OnInitDialog.
    bool BeginPane(int orientation, const LayoutRect* borders = nullptr, const std::string& name = {});
    bool AddControl(int controlId, int mode, int share = 0, std::uint32_t flags = 0);
    void AddSpace(int size, int minimum);
    void SetAlignment(int alignment);
    bool AddGroup(int frameId, int orientation, int buddyId, int groupKind, std::uint32_t flags);
    // Closes the current pane; the outermost call finishes the layout: minimum size, first
    // placement, window sized to its minimum, saved placement restored.
    bool EndPane();
    // The frame of a small dialog: a margin of 5 round one column, whose last row holds OK and
    // Cancel at its right end. The dialog's own rows go between the two calls; the end call
    // puts gapAboveButtons between them and the buttons and finishes the layout.
    void BeginOkCancelFrame();
    void EndOkCancelFrame(int gapAboveButtons = 5);

    CLayoutManager& Layout()
    {
        return layout_;
    }
    const std::string& PlacementKey() const
    {
        return placementKey_;
    }
    std::uint32_t LayoutFlags() const
    {
        return layoutFlags_;
    }
    // Minimum window size with frame and caption, as the layout computes it.
    int MinTrackWidth() const
    {
        return minTrackWidth_;
    }
    int MinTrackHeight() const
    {
        return minTrackHeight_;
    }
    // Whether a desktop style or theme is active (false when that cannot be told).
    static bool IsThemeActive();

    // Runs DoDataExchange in one direction: true reads and checks the controls into the
    // members, false shows the members in the controls. False when a check failed (its
    // message has been shown).
    bool UpdateData(bool saveAndValidate = true);

protected:
    // Runs when the widgets have been created: shows the members in the controls
    // (UpdateData(false)) and starts a fresh tree. Derived dialogs call the base first,
    // then build their tree and close it with the outermost EndPane.
    virtual bool OnInitDialog();
    // Binds members to controls; does nothing here. Derived dialogs call it first.
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnMenuCommand(int command);

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    // A property sheet in this dialog grew: relays out and grows the window to fit.
    void OnSizedSheet(QWidget* sheet);

private:
    void ApplyTrackSize();
    void RunLayout();
    QSize ClientSizeForWindow(int width, int height) const;

    const DialogTemplate& template_;
    DialogControls controls_;
    CLayoutManager layout_;
    std::unique_ptr<QtLayoutOwner> owner_;
    std::string placementKey_;
    std::uint32_t layoutFlags_;
    bool wantStatusBar_;
    QStatusBar* statusBar_ = nullptr;
    int statusBarHeight_ = 0;
    int minTrackWidth_ = 0;
    int minTrackHeight_ = 0;
    int captionHeight_ = 0;
    bool created_ = false;
    bool finished_ = false;
};

} // namespace kavelmark
