#pragma once

#include <cstdint>
#include <string>

#include "settings/SettingsBackend.h"

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
    static std::int32_t GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                               bool writeIfMissing);
    // GetInt counts a stored 0 as unset; this reader keeps it, for values where 0 is a choice.
    // Only a missing value or one that is not a number counts as unset.
    static std::int32_t GetIntAllowingZero(const std::string& section, const std::string& key,
                                           std::int32_t defaultValue, bool writeIfMissing);
    static bool SetInt(const std::string& section, const std::string& key, std::int32_t value);
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
