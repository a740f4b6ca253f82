#pragma once

#include <string_view>

#include "platform/SecureString.h"

namespace kavelmark
{

// Which characters a generated password may hold, and how many.
struct PasswordRules
{
    static constexpr int kMinLength = 8;
    static constexpr int kMaxLength = 64;
    static constexpr int kDefaultLength = 20;

    int length = kDefaultLength;
    bool upper = true;
    bool lower = true;
    bool digits = true;
    bool special = true;
};

// Draws passwords from the operating system's random generator. Every chosen group appears at
// least once, and "_|" never does (the record format reserves it). All characters are ASCII,
// so the password survives the file's cp1252 unchanged.
class PasswordGenerator
{
public:
    static constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
    static constexpr std::string_view kDigits = "0123456789";
    static constexpr std::string_view kSpecial = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";

    // Empty when the rules cannot be met: no group chosen, or a length out of range.
    static SecureString Generate(const PasswordRules& rules);
    // The strength of a password drawn under these rules: length times log2 of the alphabet's
    // size (0 when the rules cannot be met).
    static double StrengthBits(const PasswordRules& rules);
    static bool Valid(const PasswordRules& rules);
};

} // namespace kavelmark
