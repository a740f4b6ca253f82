#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

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

    // One case of an integer reader: what is stored before (nothing: missing), whether the
    // default is to be written back, what the reader returns and what is stored after.
    struct IntCase
    {
        std::optional<std::string> stored;
        bool writeIfMissing;
        std::int32_t expected;
        std::optional<std::string> storedAfter;
    };
    void ExpectIntReads(bool zeroIsAChoice, const std::string& key, std::int32_t defaultValue,
                        std::initializer_list<IntCase> cases)
    {
        for (const IntCase& c : cases)
        {
            SCOPED_TRACE(c.stored.value_or("<missing>"));
            backend.Erase(settings::kConfig, key);
            if (c.stored)
            {
                backend.Write(settings::kConfig, key, *c.stored);
            }
            EXPECT_EQ(Settings::GetInt(settings::kConfig, key, defaultValue, c.writeIfMissing, zeroIsAChoice),
                      c.expected);
            EXPECT_EQ(Stored(key), c.storedAfter);
        }
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
        EXPECT_EQ(Settings::GetString(settings::kConfig, settings::kMainEntryFile,
                                      settings::kMainEntryFileSetting.defaultValue, c.writeIfMissing, c.trim),
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
    ExpectIntReads(false, settings::kHideTimer, 2000,
                   {
                       {std::nullopt, true, 2000, "2000"},
                       {std::nullopt, false, 2000, std::nullopt},
                       {"0", true, 2000, "2000"},
                       {"0", false, 0, "0"},
                       {"500", true, 500, "500"},
                       {"-7", true, -7, "-7"},
                       {"12abc", true, 2000, "2000"},
                       {"12abc", false, 2000, "12abc"},
                       {"99999999999", false, 2000, "99999999999"},
                   });
}

TEST_F(SettingsTest, IntWhoseZeroIsAChoiceKeepsAStoredZeroAndTreatsMissingOrNotANumberAsUnset)
{
    ExpectIntReads(true, settings::kClipboardClear, 20,
                   {
                       {"0", true, 0, "0"},
                       {"0", false, 0, "0"},
                       {"45", true, 45, "45"},
                       {" 45 ", false, 45, " 45 "},
                       {"-3", true, -3, "-3"},
                       {std::nullopt, true, 20, "20"},
                       {std::nullopt, false, 20, std::nullopt},
                       {"   ", true, 20, "20"},
                       {"zwanzig", true, 20, "20"},
                       {"zwanzig", false, 20, "zwanzig"},
                       {"4x", true, 20, "20"},
                   });
}

TEST_F(SettingsTest, TheTableSaysWhereAValueLivesWhatItDefaultsToAndWhetherZeroIsAChoice)
{
    backend.Write("Config", "HideTimer (mSec)", "0");
    backend.Write("Config", "ClipboardClear (Sec)", "0");
    EXPECT_EQ(Settings::Get(settings::kHideTimerSetting), 2000);
    EXPECT_EQ(backend.Read("Config", "HideTimer (mSec)"), "2000");
    EXPECT_EQ(Settings::Get(settings::kClipboardClearSetting), 0);
    EXPECT_EQ(Settings::Get(settings::kLockAfterSetting), 0);
    EXPECT_EQ(backend.Read("Config", "LockAfter (Sec)"), "0") << "written at the first read";
    EXPECT_EQ(Settings::Get(settings::kMainEntryFileSetting), "default.Kavelmark");
    EXPECT_TRUE(Settings::Set(settings::kMainEntryFileSetting, "  pw.Kavelmark "));
    EXPECT_EQ(backend.Read("Config", "MainEntryFile"), "pw.Kavelmark");
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
