#include "settings/Settings.h"

#include <charconv>
#include <optional>

namespace kavelmark
{
namespace
{

SettingsBackend* currentBackend = nullptr;

std::string Trimmed(const std::string& text)
{
    const char* whiteSpace = " \t\n\r\v\f";
    auto first = text.find_first_not_of(whiteSpace);
    if (first == std::string::npos)
    {
        return {};
    }
    auto last = text.find_last_not_of(whiteSpace);
    return text.substr(first, last - first + 1);
}

std::optional<std::string> ReadText(const std::string& section, const std::string& key)
{
    return currentBackend ? currentBackend->Read(section, key) : std::nullopt;
}

// A stored text that is not a whole 32-bit number counts as missing.
std::optional<std::int32_t> ReadNumber(const std::string& section, const std::string& key)
{
    auto text = ReadText(section, key);
    if (!text)
    {
        return std::nullopt;
    }
    std::string digits = Trimmed(*text);
    std::int32_t value = 0;
    const char* begin = digits.data();
    const char* end = begin + digits.size();
    auto [next, error] = std::from_chars(begin, end, value);
    if (digits.empty() || error != std::errc() || next != end)
    {
        return std::nullopt;
    }
    return value;
}

} // namespace

SettingsBackend* Settings::SetBackend(SettingsBackend* backend)
{
    SettingsBackend* previous = currentBackend;
    currentBackend = backend;
    return previous;
}

SettingsBackend* Settings::Backend()
{
    return currentBackend;
}

std::string Settings::GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                                bool writeIfMissing, bool trim)
{
    std::string value = ReadText(section, key).value_or(std::string());
    if (trim)
    {
        value = Trimmed(value);
    }
    if (value.empty() && writeIfMissing)
    {
        SetString(section, key, defaultValue, trim);
    }
    // The second read is returned as stored, untrimmed.
    return ReadText(section, key).value_or(defaultValue);
}

bool Settings::SetString(const std::string& section, const std::string& key, const std::string& value, bool trim)
{
    if (!currentBackend)
    {
        return false;
    }
    return currentBackend->Write(section, key, trim ? Trimmed(value) : value);
}

std::int32_t Settings::GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                              bool writeIfMissing, bool zeroIsAChoice)
{
    const std::optional<std::int32_t> stored = ReadNumber(section, key);
    const bool unset = !stored || (*stored == 0 && !zeroIsAChoice);
    if (unset && writeIfMissing)
    {
        SetInt(section, key, defaultValue);
    }
    return ReadNumber(section, key).value_or(defaultValue);
}

std::int32_t Settings::Get(const settings::IntSetting& value)
{
    return GetInt(value.section, value.name, value.defaultValue, true, value.zeroIsAChoice);
}

std::string Settings::Get(const settings::TextSetting& value)
{
    return GetString(value.section, value.name, value.defaultValue, true, true);
}

bool Settings::Set(const settings::IntSetting& value, std::int32_t number)
{
    return SetInt(value.section, value.name, number);
}

bool Settings::Set(const settings::TextSetting& value, const std::string& text)
{
    return SetString(value.section, value.name, text, true);
}

bool Settings::SetInt(const std::string& section, const std::string& key, std::int32_t value)
{
    if (!currentBackend)
    {
        return false;
    }
    return currentBackend->Write(section, key, std::to_string(value));
}

} // namespace kavelmark
