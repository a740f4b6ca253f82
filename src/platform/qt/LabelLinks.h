#pragma once

#include <QString>
#include <map>

class QLabel;

namespace kavelmark
{

struct DialogTemplate;

// Which control each label of a template describes, by where they stand: the field to the
// label's right in its row, or else the one just below it; a group box's caption describes
// the first field inside its frame. Only fields are described (edits, combo boxes, lists):
// buttons and check boxes carry their own text. Keyed by the label's id, the field's id.
std::map<int, int> LabelledControls(const DialogTemplate& tmpl);

// The text as it shows, without the "&" that marks its access key ("&&" shows one "&").
QString WithoutAccessKey(const QString& text);

// Sets a label's text and names its buddy after it, so that a screen reader announces the
// field as the label now reads.
void SetLabelText(QLabel& label, const QString& text);

} // namespace kavelmark
