#pragma once

namespace kavelmark
{

// Keeps the characters of secrets off the accessibility bus. Qt tells every accessibility
// client the text that a line edit gains or loses, also in password mode, where reading the
// field gives nothing: any program of the session could record a typed password that way.
// Text changes of a password-mode field and of a field marked as showing a secret reach the
// clients with one "*" for each character instead; a shown secret can still be read from the
// field itself.
void FilterSecretAccessibilityUpdates();

} // namespace kavelmark
