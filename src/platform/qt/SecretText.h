#pragma once

class QLineEdit;
class QString;

namespace kavelmark
{

// Overwrites a text's characters where they lie, also in every copy that shares them.
void WipeText(const QString& text);

// Empties a line edit that held a secret: its characters are overwritten where they lie (Qt
// frees a text's buffer unwiped), and its undo history, which keeps every typed character,
// is written over before it is dropped.
void WipeLineEdit(QLineEdit& edit);

} // namespace kavelmark
