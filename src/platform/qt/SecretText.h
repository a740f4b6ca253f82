#pragma once

class QLineEdit;

namespace kavelmark
{

// Empties a line edit that held a secret: its characters are overwritten where they lie (Qt
// frees a text's buffer unwiped), and its undo history, which keeps every typed character,
// is written over before it is dropped.
void WipeLineEdit(QLineEdit& edit);

} // namespace kavelmark
