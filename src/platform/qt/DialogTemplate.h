#pragma once

#include <QDialog>
#include <QFont>
#include <QMenuBar>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QAction;
class QLabel;

namespace kavelmark
{

// Dialog results of a modal run.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Control kinds of a template and the widget the builder makes for each.
enum class ControlKind
{
    Static,        // QLabel, text
    Icon,          // QLabel showing a picture (icon static)
    Edit,          // QLineEdit, or QPlainTextEdit with ControlStyle::MultiLine
    PushButton,    // QPushButton
    DefaultButton, // QPushButton, the dialog's default (Enter)
    CheckBox,      // QCheckBox (automatic)
    RadioButton,   // QRadioButton (automatic)
    GroupBox,      // QLabel holding the caption; AddGroup puts a CGroupStatic over it
    ComboBox,      // QComboBox, drop-down list without typing
    ComboBoxEx,    // QComboBox (extended combo box, text items only)
    ListView,      // QTreeWidget in report view: rows of columns, no tree decoration
    ListBox,       // QListWidget
    UpDown,        // vertical QScrollBar standing for the arrow pair
    TabControl,    // QTabWidget
};

// Style details of a control (combine with |).
namespace ControlStyle
{
constexpr std::uint32_t None = 0;
constexpr std::uint32_t TabStop = 1u << 0;
constexpr std::uint32_t Border = 1u << 1;
constexpr std::uint32_t GroupStart = 1u << 2;
constexpr std::uint32_t Hidden = 1u << 3;
constexpr std::uint32_t Disabled = 1u << 4;
constexpr std::uint32_t Password = 1u << 5;  // edit: every character shown as "*"
constexpr std::uint32_t ReadOnly = 1u << 6;  // edit
constexpr std::uint32_t MultiLine = 1u << 7; // edit: several lines
constexpr std::uint32_t AutoHScroll = 1u << 8;
constexpr std::uint32_t AutoVScroll = 1u << 9;
constexpr std::uint32_t WantReturn = 1u << 10; // multi-line edit: Enter inserts a line break
constexpr std::uint32_t VScroll = 1u << 11;
constexpr std::uint32_t Sorted = 1u << 12;          // combo box, list box, list view
constexpr std::uint32_t NoPrefix = 1u << 13;        // static: "&" is shown, not a mnemonic
constexpr std::uint32_t SingleSelection = 1u << 14; // list view
constexpr std::uint32_t ShareImageLists = 1u << 15; // list view
constexpr std::uint32_t AlignRight = 1u << 16;      // up-down: sits right of its buddy
constexpr std::uint32_t AlignLeft = 1u << 17;       // up-down: sits left of its buddy
constexpr std::uint32_t AutoBuddy = 1u << 18;       // up-down: the previous control is its buddy
constexpr std::uint32_t RightText = 1u << 19;       // static: right-aligned
constexpr std::uint32_t CenterText = 1u << 20;      // static: centred
} // namespace ControlStyle

struct ControlTemplate
{
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string caption; // UTF-8; "&" marks a mnemonic
    int x = 0;           // dialog units
    int y = 0;
    int w = 0;
    int h = 0; // for combo boxes: the height with the list dropped down
    std::uint32_t style = ControlStyle::None;
    std::vector<std::string> items; // initial items of combo and list boxes
};

// A menu bar as data: each menu has a title and items; command 0 is a separator.
struct MenuItemTemplate
{
    std::string text;
    int command = 0;
};

struct MenuTemplate
{
    std::string title;
    std::vector<MenuItemTemplate> items;
};

struct MenuBarTemplate
{
    int id = 0;
    std::vector<MenuTemplate> menus;
};

// Window styles of a dialog (combine with |).
namespace DialogStyle
{
constexpr std::uint32_t None = 0;
constexpr std::uint32_t Resizable = 1u << 0;  // sizing frame
constexpr std::uint32_t NoCloseBox = 1u << 1; // no system menu, so no close box
constexpr std::uint32_t MinimizeBox = 1u << 2;
constexpr std::uint32_t MaximizeBox = 1u << 3;
constexpr std::uint32_t ContextHelp = 1u << 4;
constexpr std::uint32_t AppWindow = 1u << 5;  // own task-bar button
constexpr std::uint32_t Foreground = 1u << 6; // brought to the foreground when shown
} // namespace DialogStyle

struct DialogTemplate
{
    int id = 0;
    std::string caption;
    int width = 0; // client size in dialog units
    int height = 0;
    std::string fontName = "MS Sans Serif";
    int fontPointSize = 8;
    std::uint32_t style = DialogStyle::None;
    const MenuBarTemplate* menu = nullptr;
    std::vector<ControlTemplate> controls; // in tab order
};

// Dialog units -> pixels for a font: base units from the font's average character width
// and height; x * baseX / 4, y * baseY / 8.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont& font);
    int BaseX() const
    {
        return baseX_;
    }
    int BaseY() const
    {
        return baseY_;
    }
    QRect ToPixels(int x, int y, int w, int h) const;
    QSize ToPixels(int w, int h) const;

private:
    int baseX_;
    int baseY_;
};

// Creates a dialog's child widgets from a template and finds them by id. The font is the
// desktop's default UI font (the stand-in for the templates' "MS Sans Serif" 8 point).
// A menu bar, when the template has one, sits at the top of the dialog and the controls
// below it; MenuBarHeight() tells how far.
class DialogControls
{
public:
    // Builds into `dialog`, replacing widgets an earlier Build made. Sets the caption, the
    // window flags of the template styles, the font and the client size (template size
    // plus menu bar).
    void Build(const DialogTemplate& tmpl, QDialog& dialog);
    // Deletes the widgets made by Build.
    void Clear();

    QWidget* Control(int id) const;
    int IdOf(const QWidget* widget) const;
    // Binds an id to another widget (a frame window that takes over a control).
    void Rebind(int id, QWidget* widget);
    QMenuBar* MenuBar() const
    {
        return menuBar_;
    }
    int MenuBarHeight() const;
    // The menu item with this command id (its data() holds the id), or null.
    QAction* MenuAction(int command) const;
    const DialogTemplate* Template() const
    {
        return template_;
    }
    // Controls in template (tab) order.
    const std::vector<int>& Ids() const
    {
        return order_;
    }
    ControlKind KindOf(int id) const;
    std::uint32_t StyleOf(int id) const;

private:
    const DialogTemplate* template_ = nullptr;
    std::map<int, QPointer<QWidget>> controls_;
    std::map<int, const ControlTemplate*> templates_;
    std::vector<int> order_;
    QPointer<QMenuBar> menuBar_;
};

// The desktop's default UI font, used for every dialog.
QFont DialogFont();

// Gives labels one common width at which each of the texts shows whole on one line in the
// labels' font ("&" marks a mnemonic). The templates' widths assume another font; labels
// are never made narrower.
void FitLabelsToTexts(const std::vector<QLabel*>& labels, const QStringList& texts);

} // namespace kavelmark
