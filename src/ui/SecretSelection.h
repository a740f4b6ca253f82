#pragma once

class QWidget;

namespace kavelmark
{

// Keeps secrets shown in clear out of the X11 primary selection. Selecting text in a line or
// text edit puts it there, where every program reads it and a middle click pastes it, and
// nothing takes it off again. A field marked as showing a secret never gets that far: the
// moment its selection reaches the primary selection, the selection is cleared (we still own
// it then, so no other program can have read it) and the text Qt made of it is wiped.

// Marks a field while it shows a secret in clear, and unmarks it when it no longer does.
void MarkSecretField(QWidget& field, bool showsSecret);
bool IsMarkedSecretField(const QWidget* field);

// Watches the primary selection for the whole program; installing it twice does nothing.
void GuardPrimarySelection();

} // namespace kavelmark
