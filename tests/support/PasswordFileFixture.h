#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "crypto/CipherEngine.h"
#include "file/FileTestSupport.h"
#include "file/LoadSave.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/MessageRecorder.h"

namespace kavelmark::testing
{

// Load and save against a real file: a folder of the test's own holds the file that the
// settings name, messages are recorded and every save is stamped with FixedSaveTime.
class PasswordFileFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        backend.Write(settings::kConfig, settings::kMainEntryFile, path);
        previousClock = SetSaveClock(FixedSaveTime);
    }
    void TearDown() override
    {
        SetSaveClock(previousClock);
    }

    LoadResult LoadWith(std::string_view password)
    {
        return Load(store, ToSecure(password), ComputeLegacySeed(password));
    }

    // Saves exactly these records, without the built-in categories.
    SaveResult SaveRecords(const std::vector<std::string>& records, std::string_view password)
    {
        PasswordStore source;
        source.RemoveAll();
        for (const std::string& record : records)
        {
            source.AddTail(record);
        }
        return Save(source, ToSecure(password));
    }

    TempDir dir;
    std::string path = dir / "pw.Kavelmark";
    InMemorySettingsBackend backend;
    ScopedSettingsBackend install{backend};
    MessageRecorder recorder;
    PasswordStore store;
    SaveClock previousClock;
};

} // namespace kavelmark::testing
