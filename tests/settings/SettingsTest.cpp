#include <gtest/gtest.h>

#include "settings/Settings.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{
namespace
{

class SettingsTest : public ::testing::Test
{
protected:
    InMemorySettingsBackend backend;
    ScopedSettingsBackend install{backend};

    std::optional<std::string> Stored(const std::string& key)
    {
        return backend.Read(settings::kConfig, key);
    }
};

TEST_F(SettingsTest, StringDefaultIsWrittenBackOnlyWhenAskedAndTrimmedEmptyCountsAsUnset)
{
    struct Case
    {
        std::optional<std::string> stored;
        bool writeIfMissing;
        bool trim;
        std::string expected;
        std::optional<std::string> storedAfter;
    };
    const Case cases[] = {
        {std::nullopt, true, true, "default.Kavelmark", "default.Kavelmark"},
        {std::nullopt, false, true, "default.Kavelmark", std::nullopt},
        {"   ", true, true, "default.Kavelmark", "default.Kavelmark"},
        {"   ", true, false, "   ", "   "},
        {" name ", true, true, " name ", " name "}, // the second read is not trimmed
        {"", true, false, "default.Kavelmark", "default.Kavelmark"},
    };
    for (const Case& c : cases)
    {
        backend.Erase(settings::kConfig, settings::kMainEntryFile);
        if (c.stored)
        {
            backend.Write(settings::kConfig, settings::kMainEntryFile, *c.stored);
        }
        EXPECT_EQ(Settings::GetString(settings::kConfig, settings::kMainEntryFile, settings::kDefaultMainEntryFile,
                                      c.writeIfMissing, c.trim),
                  c.expected);
        EXPECT_EQ(Stored(settings::kMainEntryFile), c.storedAfter);
    }
}

TEST_F(SettingsTest, SetStringTrimsOnRequest)
{
    Settings::SetString("Company", "home-page", "  https://example.org \t", true);
    EXPECT_EQ(backend.Read("Company", "home-page"), "https://example.org");
    Settings::SetString("Company", "home-page", " x ", false);
    EXPECT_EQ(backend.Read("Company", "home-page"), " x ");
}

TEST_F(SettingsTest, IntZeroMissingOrNotANumberCountsAsUnset)
{
    struct Case
    {
        std::optional<std::string> stored;
        bool writeIfMissing;
        std::int32_t expected;
        std::optional<std::string> storedAfter;
    };
    const Case cases[] = {
        {std::nullopt, true, 2000, "2000"},
        {std::nullopt, false, 2000, std::nullopt},
        {"0", true, 2000, "2000"},
        {"0", false, 0, "0"},
        {"500", true, 500, "500"},
        {"-7", true, -7, "-7"},
        {"12abc", true, 2000, "2000"},
        {"12abc", false, 2000, "12abc"},
        {"99999999999", false, 2000, "99999999999"},
    };
    for (const Case& c : cases)
    {
        backend.Erase(settings::kConfig, settings::kHideTimer);
        if (c.stored)
        {
            backend.Write(settings::kConfig, settings::kHideTimer, *c.stored);
        }
        EXPECT_EQ(Settings::GetInt(settings::kConfig, settings::kHideTimer, 2000, c.writeIfMissing), c.expected)
            << c.stored.value_or("<missing>");
        EXPECT_EQ(Stored(settings::kHideTimer), c.storedAfter);
    }
}

TEST(SettingsWithoutBackend, ReadsDefaultsAndRefusesWrites)
{
    SettingsBackend* previous = Settings::SetBackend(nullptr);
    EXPECT_EQ(Settings::GetString("Config", "MainEntryFile", "d", true, true), "d");
    EXPECT_EQ(Settings::GetInt("Config", "Cipher", 3, true), 3);
    EXPECT_FALSE(Settings::SetInt("Config", "Cipher", 1));
    Settings::SetBackend(previous);
}

} // namespace
} // namespace kavelmark
