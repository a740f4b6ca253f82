#pragma once

namespace kavelmark
{

// The program's name, as captions show it whatever the executable is called, and its maker's
// addresses: the About box shows the pair that every start records in the settings.
inline constexpr const char* kProgramName = "Kavelmark";
inline constexpr const char* kMakerHomePage = "https://kavelmark.brenkholt.example/";
inline constexpr const char* kMakerEMail = "kavelmark@brenkholt.example";

} // namespace kavelmark
