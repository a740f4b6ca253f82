#pragma once

class QAbstractItemView;

namespace kavelmark
{

// When the view takes the focus, screen readers are told that its current row has it, as
// they are when the current row changes: otherwise Tab lands on the list as a whole and the
// row a user is on goes unsaid.
void AnnounceCurrentRowOnFocus(QAbstractItemView& view);

} // namespace kavelmark
