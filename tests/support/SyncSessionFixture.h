#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/SessionController.h"
#include "file/FileTestSupport.h"
#include "file/LoadSave.h"
#include "file/PasswordFile.h"
#include "settings/Settings.h"
#include "support/FtpEntries.h"
#include "support/ScriptedWindows.h"

namespace kavelmark::testing
{

// A session on a password file that another computer rewrites, V0.3 or V0.4, by renaming a new
// file over it as a sync engine does. V0.4 saves cost little: a key takes 64 KiB and one pass.
class SyncSessionFixture : public ::testing::Test
{
protected:
    SyncSessionFixture()
    {
        settings.Write("Config", "MainEntryFile", file);
    }
    ~SyncSessionFixture() override
    {
        SetV04WriteCost(previousCost);
        SetMainFileFormat(FileFormat::V03);
    }

    static PasswordStore StoreOf(const std::vector<std::string>& entries)
    {
        return testing::StoreOf(entries);
    }
    static std::vector<std::string> EntriesOf(const PasswordStore& store)
    {
        return testing::EntriesOf(store);
    }

    static void WriteV03Elsewhere(const std::string& path, const std::string& password,
                                  const std::vector<std::string>& entries)
    {
        ASSERT_TRUE(WriteAsAnotherProgram(path, password, StoreOf(entries)));
    }

    static void WriteV04Elsewhere(const std::string& path, const std::string& password,
                                  const std::vector<std::string>& entries, const Argon2idCost& cost)
    {
        MemoryFile bytes;
        ASSERT_EQ(PasswordFile::WriteV04(bytes, password, StoreOf(entries), std::tm{}, cost).fileError, 0);
        WriteBytes(path + ".incoming", bytes.Bytes());
        ASSERT_EQ(std::rename((path + ".incoming").c_str(), path.c_str()), 0);
    }

    // The magic of the file on disk: "Kavelmark V0.3  " or "Kavelmark V0.4  ".
    std::string MagicOnDisk() const
    {
        return ReadBytes(file).substr(4, 16);
    }

    void Start(const std::vector<std::string>& entries, FileFormat format)
    {
        if (format == FileFormat::V04)
        {
            WriteV04Elsewhere(file, "eins", entries, kWrittenCost);
        }
        else
        {
            WriteV03Elsewhere(file, "eins", entries);
        }
        windows.login.Ok("eins");
        ASSERT_TRUE(session.StartSession());
    }

    static constexpr Argon2idCost kWrittenCost{64, 1, 1};
    Argon2idCost previousCost = SetV04WriteCost(kWrittenCost);
    TempDir dir;
    std::string file = dir / "pw.Kavelmark";
    InMemorySettingsBackend settings;
    ScopedSettingsBackend scoped{settings};
    PasswordStore store;
    ScriptedWindows windows;
    SessionController session{store, windows};
};

} // namespace kavelmark::testing
