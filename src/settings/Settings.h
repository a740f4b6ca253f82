#pragma once

#include <cstdint>
#include <string>

#include "settings/SettingsBackend.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{

// The program's persisted configuration. Readers give their own default; with
// writeIfMissing an unset value is stored back so that every value becomes visible after
// the first run. Nothing is cached: every call goes to the backend.
class Settings
{
public:
    // Installs the backend all calls go to and returns the previous one (nullptr when none).
    // Without a backend, reads yield their defaults and writes fail.
    static SettingsBackend* SetBackend(SettingsBackend* backend);
    static SettingsBackend* Backend();

    static std::string GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                                 bool writeIfMissing, bool trim);
    static bool SetString(const std::string& section, const std::string& key, const std::string& value, bool trim);
    // A missing value, or one that is not a number, counts as unset; so does a stored 0 unless
    // zeroIsAChoice.
    static std::int32_t GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                               bool writeIfMissing, bool zeroIsAChoice = false);
    static bool SetInt(const std::string& section, const std::string& key, std::int32_t value);

    // The values of the table in SettingsNames.h: an unset one is stored with its default, so that
    // every value becomes visible after the first run; texts are trimmed.
    static std::int32_t Get(const settings::IntSetting& value);
    static std::string Get(const settings::TextSetting& value);
    static bool Set(const settings::IntSetting& value, std::int32_t number);
    static bool Set(const settings::TextSetting& value, const std::string& text);
};

// Installs a backend for the lifetime of the guard.
class ScopedSettingsBackend
{
public:
    explicit ScopedSettingsBackend(SettingsBackend& backend) : previous_(Settings::SetBackend(&backend))
    {
    }
    ~ScopedSettingsBackend()
    {
        Settings::SetBackend(previous_);
    }
    ScopedSettingsBackend(const ScopedSettingsBackend&) = delete;
    ScopedSettingsBackend& operator=(const ScopedSettingsBackend&) = delete;

private:
    SettingsBackend* previous_;
};

} // namespace kavelmark
