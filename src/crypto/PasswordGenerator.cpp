#include "crypto/PasswordGenerator.h"

#include <cmath>
#include <crypto++/osrng.h>

namespace kavelmark
{
namespace
{

SecureString Alphabet(const PasswordRules& rules)
{
    SecureString alphabet;
    const std::pair<bool, std::string_view> groups[] = {
        {rules.upper, PasswordGenerator::kUpper},
        {rules.lower, PasswordGenerator::kLower},
        {rules.digits, PasswordGenerator::kDigits},
        {rules.special, PasswordGenerator::kSpecial},
    };
    for (const auto& [chosen, group] : groups)
    {
        if (chosen)
        {
            alphabet.append(group);
        }
    }
    return alphabet;
}

bool HasOneOf(const SecureString& text, std::string_view group)
{
    return std::string_view(text).find_first_of(group) != std::string_view::npos;
}

bool MeetsRules(const SecureString& candidate, const PasswordRules& rules)
{
    return (!rules.upper || HasOneOf(candidate, PasswordGenerator::kUpper)) &&
           (!rules.lower || HasOneOf(candidate, PasswordGenerator::kLower)) &&
           (!rules.digits || HasOneOf(candidate, PasswordGenerator::kDigits)) &&
           (!rules.special || HasOneOf(candidate, PasswordGenerator::kSpecial)) &&
           candidate.find("_|") == SecureString::npos;
}

} // namespace

bool PasswordGenerator::Valid(const PasswordRules& rules)
{
    return rules.length >= PasswordRules::kMinLength && rules.length <= PasswordRules::kMaxLength &&
           (rules.upper || rules.lower || rules.digits || rules.special);
}

SecureString PasswordGenerator::Generate(const PasswordRules& rules)
{
    if (!Valid(rules))
    {
        return SecureString();
    }
    const SecureString alphabet = Alphabet(rules);
    const auto last = static_cast<CryptoPP::word32>(alphabet.size() - 1);
    CryptoPP::AutoSeededRandomPool random;
    SecureString candidate;
    candidate.reserve(static_cast<std::size_t>(rules.length));
    // Whole draws are repeated until one meets the rules: fixing a single character instead
    // would make some positions guessable.
    do
    {
        candidate.clear();
        for (int i = 0; i < rules.length; ++i)
        {
            candidate.push_back(alphabet[random.GenerateWord32(0, last)]);
        }
    } while (!MeetsRules(candidate, rules));
    return candidate;
}

double PasswordGenerator::StrengthBits(const PasswordRules& rules)
{
    if (!Valid(rules))
    {
        return 0.0;
    }
    return rules.length * std::log2(static_cast<double>(Alphabet(rules).size()));
}

} // namespace kavelmark
