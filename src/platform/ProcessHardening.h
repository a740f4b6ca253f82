#pragma once

namespace kavelmark
{

// Keeps the secrets of this process out of core files and away from other processes of
// the user: no core dump, no ptrace attach without privileges. Call first thing in main.
void HardenProcess();

} // namespace kavelmark
