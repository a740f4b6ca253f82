#pragma once

#include <array>
#include <string_view>

namespace kavelmark
{

// The columns other password managers read, in their order, then Kavelmark's own, which
// carry each entry unchanged so that an export can be imported again without loss.
inline constexpr std::string_view kColumnGroup = "Group";
inline constexpr std::string_view kColumnTitle = "Title";
inline constexpr std::string_view kColumnUsername = "Username";
inline constexpr std::string_view kColumnPassword = "Password";
inline constexpr std::string_view kColumnUrl = "URL";
inline constexpr std::string_view kColumnNotes = "Notes";
inline constexpr std::array<std::string_view, 3> kColumnLabels = {"Kavelmark Label 1", "Kavelmark Label 2",
                                                                  "Kavelmark Label 3"};
inline constexpr std::array<std::string_view, 3> kColumnValues = {"Kavelmark Value 1", "Kavelmark Value 2",
                                                                  "Kavelmark Value 3"};
inline constexpr std::string_view kColumnDescription = "Kavelmark Description";

// Which of an entry's three values (1 to 3; 0 for none) stands in the peers' user name,
// password and URL, decided by its category's labels: the password is the first value whose
// label is secret; the user name the first other one whose label names a user, account or
// key ("User", "Konto", "Key", ...); the URL the first other one whose label names a host
// or address ("Host", "URL", ...). Words are compared without case. Every other value goes
// into the notes.
struct FieldMapping
{
    int username = 0;
    int password = 0;
    int url = 0;
};

FieldMapping MapLabels(const std::array<std::string_view, 3>& labels);

} // namespace kavelmark
