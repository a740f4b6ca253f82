#include "platform/qt/LabelLinks.h"

#include <QLabel>
#include <optional>

#include "platform/qt/DialogTemplate.h"

namespace kavelmark
{
namespace
{

// How far a field may stand from its label, in dialog units.
constexpr int kRowGap = 16;
constexpr int kColumnGap = 8;
// A combo box's template height includes its dropped-down list.
constexpr int kClosedComboHeight = 12;

bool IsField(ControlKind kind)
{
    switch (kind)
    {
    case ControlKind::Edit:
    case ControlKind::ComboBox:
    case ControlKind::ComboBoxEx:
    case ControlKind::ListView:
    case ControlKind::ListBox:
        return true;
    default:
        return false;
    }
}

int Height(const ControlTemplate& control)
{
    const bool combo = control.kind == ControlKind::ComboBox || control.kind == ControlKind::ComboBoxEx;
    return combo ? kClosedComboHeight : control.h;
}

// How far the field stands right of the label in its row, if it does.
std::optional<int> RightOf(const ControlTemplate& label, const ControlTemplate& field)
{
    const bool sameRow = field.y < label.y + label.h && field.y + Height(field) > label.y;
    const int gap = field.x - (label.x + label.w);
    if (!sameRow || field.x <= label.x || gap > kRowGap)
    {
        return std::nullopt;
    }
    return gap;
}

// How far the field stands below the label, if it does.
std::optional<int> Below(const ControlTemplate& label, const ControlTemplate& field)
{
    const bool sameColumn = field.x < label.x + label.w && field.x + field.w > label.x;
    const int gap = field.y - (label.y + label.h);
    if (!sameColumn || field.y <= label.y || gap > kColumnGap)
    {
        return std::nullopt;
    }
    return gap;
}

bool Inside(const ControlTemplate& group, const ControlTemplate& field)
{
    return field.x >= group.x && field.y >= group.y && field.x + field.w <= group.x + group.w &&
           field.y + Height(field) <= group.y + group.h;
}

} // namespace

std::map<int, int> LabelledControls(const DialogTemplate& tmpl)
{
    std::map<int, int> links;
    std::map<int, bool> taken;
    const auto nearest = [&](const ControlTemplate& label, auto distance) -> const ControlTemplate*
    {
        const ControlTemplate* best = nullptr;
        int bestDistance = 0;
        for (const ControlTemplate& field : tmpl.controls)
        {
            if (!IsField(field.kind) || taken[field.id])
            {
                continue;
            }
            const std::optional<int> d = distance(label, field);
            if (d && (!best || *d < bestDistance))
            {
                best = &field;
                bestDistance = *d;
            }
        }
        return best;
    };
    for (const ControlTemplate& label : tmpl.controls)
    {
        const ControlTemplate* field = nullptr;
        if (label.kind == ControlKind::Static)
        {
            field = nearest(label, RightOf);
            if (!field)
            {
                field = nearest(label, Below);
            }
        }
        else if (label.kind == ControlKind::GroupBox)
        {
            field = nearest(label,
                            [](const ControlTemplate& group, const ControlTemplate& candidate) -> std::optional<int>
                            {
                                if (!Inside(group, candidate))
                                {
                                    return std::nullopt;
                                }
                                return candidate.y - group.y;
                            });
        }
        if (field)
        {
            links[label.id] = field->id;
            taken[field->id] = true;
        }
    }
    return links;
}

QString WithoutAccessKey(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
    {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
        {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

void SetLabelText(QLabel& label, const QString& text)
{
    label.setText(text);
    if (QWidget* buddy = label.buddy())
    {
        buddy->setAccessibleName(WithoutAccessKey(text));
    }
}

} // namespace kavelmark
