#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "settings/qt/QtSettingsBackend.h"

namespace kavelmark
{
namespace
{

class QtSettingsBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }

    QString ConfFile() const
    {
        return dir.path() + "/Brenkholt/kavelmark-test.conf";
    }

    QByteArray RawText() const
    {
        QFile file(ConfFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(QtSettingsBackendTest, ValuesRoundTripThroughTheFileWithTheirExactKeys)
{
    const std::tuple<const char*, const char*, std::string> values[] = {
        {settings::kConfig, settings::kHideTimer, "2000"},
        {settings::kConfig, settings::kMainEntryFile, "/home/jörg/Pässe € 1.Kavelmark"},
        {settings::kConfig, settings::kBlockMode, "0"},
        {settings::kSaveFileDialog, settings::kPath, "/home/jörg/"},
        {settings::kSaveFileDialog, settings::kFilter, "All Files|*.*||"},
        {settings::kSaveFileDialog, settings::kFile, " name "},
        {settings::kCompany, settings::kEMail, "info@example.org"},
        {"DlgPos_Config", "Flags", "-3"},
        {settings::kCompany, settings::kHomePage, ""},
    };
    {
        QtSettingsBackend backend(QStringLiteral("kavelmark-test"));
        EXPECT_EQ(backend.FileName(), ConfFile());
        for (const auto& [section, key, value] : values)
        {
            EXPECT_TRUE(backend.Write(section, key, value));
        }
    }
    QtSettingsBackend reopened(QStringLiteral("kavelmark-test"));
    for (const auto& [section, key, value] : values)
    {
        EXPECT_EQ(reopened.Read(section, key), value) << section << "/" << key;
    }
    EXPECT_EQ(reopened.Read(settings::kConfig, "Missing"), std::nullopt);
    EXPECT_EQ(reopened.Read("NoSuchSection", settings::kHideTimer), std::nullopt);

    // Sections are INI groups; the blank and the parentheses of the key are escaped by QSettings and read back.
    QByteArray raw = RawText();
    EXPECT_TRUE(raw.contains("[Config]\n")) << raw.toStdString();
    EXPECT_TRUE(raw.contains("HideTimer%20%28mSec%29=2000\n")) << raw.toStdString();
    EXPECT_TRUE(raw.contains("[SaveFileDialog]\n")) << raw.toStdString();
}

TEST_F(QtSettingsBackendTest, SettingsLogicWritesDefaultsIntoTheFile)
{
    QtSettingsBackend backend(QStringLiteral("kavelmark-test"));
    ScopedSettingsBackend install(backend);
    EXPECT_EQ(Settings::GetInt(settings::kConfig, settings::kHideTimer, settings::kHideTimerSetting.defaultValue, true),
              2000);
    EXPECT_EQ(Settings::GetString(settings::kConfig, settings::kMainEntryFile,
                                  settings::kMainEntryFileSetting.defaultValue, true, true),
              "default.Kavelmark");
    EXPECT_TRUE(Settings::SetInt(settings::kConfig, settings::kCipher, 1));

    QtSettingsBackend reopened(QStringLiteral("kavelmark-test"));
    EXPECT_EQ(reopened.Read(settings::kConfig, settings::kHideTimer), "2000");
    EXPECT_EQ(reopened.Read(settings::kConfig, settings::kCipher), "1");
    EXPECT_TRUE(RawText().contains("MainEntryFile=default.Kavelmark\n"));
}

TEST_F(QtSettingsBackendTest, DefaultApplicationIsTheExecutableBaseName)
{
    QtSettingsBackend backend;
    EXPECT_EQ(backend.FileName(), dir.path() + "/Brenkholt/test_settings_qt.conf");
}

} // namespace
} // namespace kavelmark
