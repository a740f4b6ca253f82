#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace kavelmark
{

// Where the settings live: named values in sections. Values are UTF-8 text; integers are
// stored as their decimal text. The Qt implementation keeps them in QSettings, tests use
// InMemorySettingsBackend.
class SettingsBackend
{
public:
    virtual ~SettingsBackend() = default;
    virtual std::optional<std::string> Read(const std::string& section, const std::string& key) = 0;
    virtual bool Write(const std::string& section, const std::string& key, const std::string& value) = 0;
};

class InMemorySettingsBackend final : public SettingsBackend
{
public:
    std::optional<std::string> Read(const std::string& section, const std::string& key) override
    {
        auto found = values_.find({section, key});
        if (found == values_.end())
        {
            return std::nullopt;
        }
        return found->second;
    }

    bool Write(const std::string& section, const std::string& key, const std::string& value) override
    {
        values_[{section, key}] = value;
        return true;
    }

    void Erase(const std::string& section, const std::string& key)
    {
        values_.erase({section, key});
    }

    const std::map<std::pair<std::string, std::string>, std::string>& Values() const
    {
        return values_;
    }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

} // namespace kavelmark
