#include "platform/qt/DialogTemplate.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>

#include "platform/qt/LabelLinks.h"

namespace kavelmark
{
namespace
{

constexpr const char* kIdProperty = "kavelmarkControlId";

QString Utf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::Alignment TextAlignment(std::uint32_t style)
{
    if (style & ControlStyle::RightText)
    {
        return Qt::AlignRight | Qt::AlignTop;
    }
    if (style & ControlStyle::CenterText)
    {
        return Qt::AlignHCenter | Qt::AlignTop;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* MakeWidget(const ControlTemplate& control, QDialog& dialog)
{
    const std::uint32_t style = control.style;
    const QString caption = Utf8(control.caption);
    switch (control.kind)
    {
    case ControlKind::Static:
    {
        auto* label = new QLabel(&dialog);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(TextAlignment(style));
        label->setWordWrap(true);
        // The text keeps its "&" so that the dialog reads back what it wrote.
        label->setText(caption);
        return label;
    }
    case ControlKind::Icon:
        return new QLabel(&dialog);
    case ControlKind::GroupBox:
    {
        auto* label = new QLabel(caption, &dialog);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::Edit:
    {
        if (style & ControlStyle::MultiLine)
        {
            auto* edit = new QPlainTextEdit(&dialog);
            edit->setReadOnly(style & ControlStyle::ReadOnly);
            edit->setTabChangesFocus(true);
            edit->setLineWrapMode((style & ControlStyle::AutoHScroll) ? QPlainTextEdit::NoWrap
                                                                      : QPlainTextEdit::WidgetWidth);
            edit->setPlainText(caption);
            if (!(style & ControlStyle::Border))
            {
                edit->setFrameShape(QFrame::NoFrame);
            }
            return edit;
        }
        auto* edit = new QLineEdit(caption, &dialog);
        edit->setReadOnly(style & ControlStyle::ReadOnly);
        edit->setFrame(style & ControlStyle::Border);
        if (style & ControlStyle::Password)
        {
            edit->setEchoMode(QLineEdit::Password);
        }
        return edit;
    }
    case ControlKind::PushButton:
    case ControlKind::DefaultButton:
    {
        auto* button = new QPushButton(caption, &dialog);
        // A focused button takes Enter for itself; only where no control takes it does
        // Enter mean the default button.
        button->setAutoDefault(true);
        button->setDefault(control.kind == ControlKind::DefaultButton);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(caption, &dialog);
    case ControlKind::RadioButton:
        return new QRadioButton(caption, &dialog);
    case ControlKind::ComboBox:
    case ControlKind::ComboBoxEx:
    {
        auto* combo = new QComboBox(&dialog);
        combo->setEditable(false);
        for (const std::string& item : control.items)
        {
            combo->addItem(Utf8(item));
        }
        if (style & ControlStyle::Sorted)
        {
            combo->model()->sort(0);
        }
        combo->setCurrentIndex(-1);
        return combo;
    }
    case ControlKind::ListView:
    {
        auto* list = new QTreeWidget(&dialog);
        list->setRootIsDecorated(false);
        list->setItemsExpandable(false);
        list->setUniformRowHeights(true);
        list->setSelectionMode((style & ControlStyle::SingleSelection) ? QAbstractItemView::SingleSelection
                                                                       : QAbstractItemView::ExtendedSelection);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        if (style & ControlStyle::Sorted)
        {
            list->setSortingEnabled(true);
            list->sortByColumn(0, Qt::AscendingOrder);
            list->header()->setSortIndicatorShown(false);
        }
        return list;
    }
    case ControlKind::ListBox:
    {
        auto* list = new QListWidget(&dialog);
        for (const std::string& item : control.items)
        {
            list->addItem(Utf8(item));
        }
        list->setSortingEnabled(style & ControlStyle::Sorted);
        return list;
    }
    case ControlKind::UpDown:
        return new QScrollBar(Qt::Vertical, &dialog);
    case ControlKind::TabControl:
        return new QTabWidget(&dialog);
    }
    return new QWidget(&dialog);
}

Qt::WindowFlags WindowFlagsFor(std::uint32_t style)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (!(style & DialogStyle::NoCloseBox))
    {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (style & DialogStyle::MinimizeBox)
    {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (style & DialogStyle::MaximizeBox)
    {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    if (style & DialogStyle::ContextHelp)
    {
        flags |= Qt::WindowContextHelpButtonHint;
    }
    if (style & DialogStyle::AppWindow)
    {
        flags = (flags & ~Qt::Dialog) | Qt::Window;
    }
    return flags;
}

} // namespace

QFont DialogFont()
{
    return QApplication::font();
}

void FitLabelsToTexts(const std::vector<QLabel*>& labels, const QStringList& texts)
{
    // As the layout's fit-to-text mode pads a text, which also covers the pixel a layout
    // row takes from each control but its last.
    constexpr int kTextPadding = 5;
    int width = 0;
    for (const QLabel* label : labels)
    {
        const QFontMetrics metrics(label->font());
        width = std::max(width, label->width());
        for (const QString& text : texts)
        {
            width = std::max(width, metrics.size(Qt::TextShowMnemonic, text).width() + kTextPadding);
        }
    }
    for (QLabel* label : labels)
    {
        label->setWordWrap(false);
        label->resize(width, label->height());
    }
}

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as the window system measures it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    baseY_ = metrics.height();
    if (baseX_ <= 0)
    {
        baseX_ = 1;
    }
    if (baseY_ <= 0)
    {
        baseY_ = 1;
    }
}

QRect DialogUnits::ToPixels(int x, int y, int w, int h) const
{
    const QSize size = ToPixels(w, h);
    return QRect(x * baseX_ / 4, y * baseY_ / 8, size.width(), size.height());
}

QSize DialogUnits::ToPixels(int w, int h) const
{
    return QSize(w * baseX_ / 4, h * baseY_ / 8);
}

void DialogControls::Clear()
{
    for (auto& [id, widget] : controls_)
    {
        delete widget.data();
    }
    controls_.clear();
    templates_.clear();
    order_.clear();
    delete menuBar_.data();
    menuBar_ = nullptr;
    template_ = nullptr;
}

void DialogControls::Build(const DialogTemplate& tmpl, QDialog& dialog)
{
    Clear();
    template_ = &tmpl;
    const QFont font = DialogFont();
    dialog.setFont(font);
    dialog.setWindowTitle(Utf8(tmpl.caption));
    dialog.setWindowFlags(WindowFlagsFor(tmpl.style));
    dialog.setSizeGripEnabled(false);

    int top = 0;
    if (tmpl.menu)
    {
        menuBar_ = new QMenuBar(&dialog);
        for (const MenuTemplate& menuTemplate : tmpl.menu->menus)
        {
            QMenu* menu = menuBar_->addMenu(Utf8(menuTemplate.title));
            for (const MenuItemTemplate& item : menuTemplate.items)
            {
                if (item.command == 0)
                {
                    menu->addSeparator();
                    continue;
                }
                QAction* action = menu->addAction(Utf8(item.text));
                action->setData(item.command);
            }
        }
        menuBar_->adjustSize();
        top = MenuBarHeight();
    }

    const DialogUnits units(font);
    QWidget* previous = nullptr;
    for (const ControlTemplate& control : tmpl.controls)
    {
        QWidget* widget = MakeWidget(control, dialog);
        widget->setProperty(kIdProperty, control.id);
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        int h = control.h;
        if (control.kind == ControlKind::ComboBox || control.kind == ControlKind::ComboBoxEx)
        {
            // The template height includes the dropped-down list; the closed box is as tall
            // as the widget wants.
            h = 0;
        }
        QRect rect = units.ToPixels(control.x, control.y, control.w, h);
        if (h == 0)
        {
            rect.setHeight(widget->sizeHint().height());
        }
        rect.translate(0, top);
        widget->setGeometry(rect);
        if (control.style & ControlStyle::TabStop)
        {
            widget->setFocusPolicy(Qt::StrongFocus);
        }
        widget->setEnabled(!(control.style & ControlStyle::Disabled));
        widget->setVisible(!(control.style & ControlStyle::Hidden));
        if (previous)
        {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
        controls_[control.id] = widget;
        templates_[control.id] = &control;
        order_.push_back(control.id);
    }

    // A label's mnemonic moves the focus to the field it describes, and the field is named
    // after it; a group box's caption names the field it frames.
    for (const auto& [labelId, fieldId] : LabelledControls(tmpl))
    {
        auto* label = qobject_cast<QLabel*>(Control(labelId));
        QWidget* field = Control(fieldId);
        if (!label || !field)
        {
            continue;
        }
        if (KindOf(labelId) == ControlKind::Static)
        {
            label->setBuddy(field);
        }
        const bool plain = KindOf(labelId) == ControlKind::GroupBox || (StyleOf(labelId) & ControlStyle::NoPrefix);
        field->setAccessibleName(plain ? label->text() : WithoutAccessKey(label->text()));
    }

    const QSize client = units.ToPixels(tmpl.width, tmpl.height);
    dialog.resize(client.width(), client.height() + top);
}

QWidget* DialogControls::Control(int id) const
{
    auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second.data();
}

int DialogControls::IdOf(const QWidget* widget) const
{
    for (const auto& [id, control] : controls_)
    {
        if (control.data() == widget)
        {
            return id;
        }
    }
    return 0;
}

void DialogControls::Rebind(int id, QWidget* widget)
{
    controls_[id] = widget;
}

int DialogControls::MenuBarHeight() const
{
    if (!menuBar_)
    {
        return 0;
    }
    return menuBar_->sizeHint().height();
}

QAction* DialogControls::MenuAction(int command) const
{
    if (!menuBar_)
    {
        return nullptr;
    }
    for (QAction* menuAction : menuBar_->actions())
    {
        if (!menuAction->menu())
        {
            continue;
        }
        for (QAction* action : menuAction->menu()->actions())
        {
            if (!action->isSeparator() && action->data().toInt() == command)
            {
                return action;
            }
        }
    }
    return nullptr;
}

ControlKind DialogControls::KindOf(int id) const
{
    auto found = templates_.find(id);
    return found == templates_.end() ? ControlKind::Static : found->second->kind;
}

std::uint32_t DialogControls::StyleOf(int id) const
{
    auto found = templates_.find(id);
    return found == templates_.end() ? ControlStyle::None : found->second->style;
}

} // namespace kavelmark
