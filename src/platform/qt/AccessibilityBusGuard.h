#pragma once

namespace kavelmark
{

// Answers the accessibility bus's Properties.GetAll calls before Qt's bridge sees them: the
// bridge reads a second argument that GetAll does not have, which ends the program, and with
// it every unsaved change, as soon as a client walks the tree that way. Every other call goes
// on to the bridge. Call once the application object exists; the guard takes its place when
// the bridge connects to the bus, also later in the run.
void GuardAccessibilityBus();

} // namespace kavelmark
