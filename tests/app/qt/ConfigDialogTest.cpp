#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <map>
#include <optional>
#include <random>

#include "app/qt/ConfigDialog.h"
#include "file/LoadSave.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "support/FakeSaveAsDialog.h"
#include "support/MessageRecorder.h"
#include "support/QtPrinters.h"

namespace kavelmark
{
namespace
{

namespace fs = std::filesystem;
using testing::FakeSaveAsDialog;
using testing::MessageRecorder;

constexpr const char* kPositiveText = "Geben Sie bitte eine positive ganze Zahl ein.";
constexpr const char* kRangeText = "Geben Sie bitte eine ganze Zahl zwischen 0 und 360000 ein.";

class ConfigDialogTest : public ::testing::Test
{
protected:
    ConfigDialogTest()
    {
        settings.Write(settings::kConfig, settings::kMainEntryFile, "/daten/pw.Kavelmark");
        settings.Write(settings::kConfig, settings::kHideTimer, "1500");
        settings.Write(settings::kConfig, settings::kCipher, "0");
        settings.Write(settings::kConfig, settings::kBlockMode, "0");
    }

    // The values of section Config, for comparing before and after.
    std::map<std::string, std::string> Config() const
    {
        std::map<std::string, std::string> values;
        for (const auto& [key, value] : settings.Values())
        {
            if (key.first == settings::kConfig)
            {
                values[key.second] = value;
            }
        }
        return values;
    }

    std::string Stored(const char* key)
    {
        return settings.Read(settings::kConfig, key).value_or("<missing>");
    }

    static QLineEdit* FileEdit(ConfigDialog& dialog)
    {
        return dialog.ControlAs<QLineEdit>(ConfigDialog::kFileNameId);
    }
    static QLineEdit* HideEdit(ConfigDialog& dialog)
    {
        return dialog.ControlAs<QLineEdit>(ConfigDialog::kHideTimeId);
    }
    static void Click(ConfigDialog& dialog, int id)
    {
        dialog.ControlAs<QPushButton>(id)->click();
    }

    InMemorySettingsBackend settings;
    ScopedSettingsBackend scopedSettings{settings};
    MessageRecorder messages;
};

TEST_F(ConfigDialogTest, OpensWithTheStoredValues)
{
    ConfigDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Config");
    EXPECT_EQ(FileEdit(dialog)->text(), "/daten/pw.Kavelmark");
    EXPECT_EQ(HideEdit(dialog)->text(), "1500");
    EXPECT_EQ(dialog.ControlAs<QComboBox>(ConfigDialog::kCipherListId)->currentText(), "TwoFish");
    EXPECT_EQ(dialog.ControlAs<QComboBox>(ConfigDialog::kBlockModeListId)->currentText(),
              "CBC - Cipher Block Chaining");
    dialog.done(IDCANCEL);
}

TEST_F(ConfigDialogTest, FileNameIsReadAsLoadAndSaveReadIt)
{
    // Unset or blank: the default, stored back; blanks around a name stay, as the load sees them.
    struct Case
    {
        std::optional<std::string> stored;
        std::string shown;
    };
    for (const Case& c :
         {Case{std::nullopt, settings::kMainEntryFileSetting.defaultValue},
          Case{" \t ", settings::kMainEntryFileSetting.defaultValue}, Case{" pw.Kavelmark ", " pw.Kavelmark "}})
    {
        SCOPED_TRACE(c.stored.value_or("<missing>"));
        settings.Erase(settings::kConfig, settings::kMainEntryFile);
        if (c.stored)
        {
            settings.Write(settings::kConfig, settings::kMainEntryFile, *c.stored);
        }
        ConfigDialog dialog;
        dialog.show();
        EXPECT_EQ(FileEdit(dialog)->text().toStdString(), c.shown);
        EXPECT_EQ(Stored(settings::kMainEntryFile), c.shown);
        dialog.done(IDCANCEL);
    }
}

TEST_F(ConfigDialogTest, HideDelayFrom0To360000IsStoredAnythingElseRefusedWithNothingStored)
{
    struct Case
    {
        const char* typed;
        std::optional<std::string> stored; // nothing: refused
        const char* message;
    };
    const Case cases[] = {
        {"360000", "360000", nullptr},
        {"0", "0", nullptr},
        {" \t42 ", "42", nullptr},
        {"360001", std::nullopt, kRangeText},
        {"-1", std::nullopt, kPositiveText},
        {"", std::nullopt, kPositiveText},
        {"1e3", std::nullopt, kPositiveText},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.typed);
        messages.messages.clear();
        const auto before = Config();
        ConfigDialog dialog;
        dialog.show();
        FileEdit(dialog)->setText(QStringLiteral("/anders/neu.Kavelmark"));
        HideEdit(dialog)->setText(QString::fromLatin1(c.typed));
        Click(dialog, IDOK);
        if (c.stored)
        {
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(Stored(settings::kHideTimer), *c.stored);
            EXPECT_EQ(Stored(settings::kMainEntryFile), "/anders/neu.Kavelmark");
            EXPECT_TRUE(messages.messages.empty());
        }
        else
        {
            EXPECT_TRUE(dialog.isVisible()) << "a refused value keeps the dialog open";
            EXPECT_EQ(Config(), before);
            ASSERT_EQ(messages.messages.size(), 1u);
            EXPECT_EQ(messages.messages[0].text, c.message);
            EXPECT_EQ(messages.messages[0].icon, MessageIcon::Exclamation);
            dialog.done(IDCANCEL);
        }
        settings.Write(settings::kConfig, settings::kMainEntryFile, "/daten/pw.Kavelmark");
        settings.Write(settings::kConfig, settings::kHideTimer, "1500");
    }
    // A stored 0 reads back as the default delay.
    settings.Write(settings::kConfig, settings::kHideTimer, "0");
    EXPECT_EQ(Settings::Get(settings::kHideTimerSetting), settings::kHideTimerSetting.defaultValue);
}

TEST_F(ConfigDialogTest, RefusedDelayPutsTheFocusOnItsFieldWithTheTextSelected)
{
    ConfigDialog dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    FileEdit(dialog)->setFocus();
    HideEdit(dialog)->setText(QStringLiteral("400000"));
    Click(dialog, IDOK);
    EXPECT_TRUE(HideEdit(dialog)->hasFocus());
    EXPECT_EQ(HideEdit(dialog)->selectedText(), "400000");
    dialog.done(IDCANCEL);
}

TEST_F(ConfigDialogTest, OkOnAnUnchangedDialogRewritesFileNameAndDelay)
{
    // Blanks around stored values show whether the values were written back (trimmed).
    settings.Write(settings::kConfig, settings::kMainEntryFile, "  /daten/pw.Kavelmark ");
    settings.Write(settings::kConfig, settings::kHideTimer, " 1500 ");
    ConfigDialog dialog;
    dialog.show();
    Click(dialog, IDOK);
    EXPECT_EQ(Stored(settings::kMainEntryFile), "/daten/pw.Kavelmark");
    EXPECT_EQ(Stored(settings::kHideTimer), "1500");
    EXPECT_EQ(Stored(settings::kCipher), "0");
    EXPECT_EQ(Stored(settings::kBlockMode), "0");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ConfigDialogTest, CancelAndEscapeWriteNothing)
{
    settings.Write(settings::kConfig, settings::kMainEntryFile, "  /daten/pw.Kavelmark ");
    settings.Write(settings::kConfig, settings::kHideTimer, " 1500 ");
    const auto before = Config();
    for (bool escape : {false, true})
    {
        SCOPED_TRACE(escape ? "Escape" : "Cancel");
        ConfigDialog dialog;
        dialog.show();
        FileEdit(dialog)->setText(QStringLiteral("/anders/neu.Kavelmark"));
        HideEdit(dialog)->setText(QStringLiteral("99"));
        if (escape)
        {
            QTest::keyClick(HideEdit(dialog), Qt::Key_Escape);
        }
        else
        {
            Click(dialog, IDCANCEL);
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(Config(), before);
    }
}

TEST_F(ConfigDialogTest, UnknownStoredCipherShowsNoSelectionAndStaysStored)
{
    settings.Write(settings::kConfig, settings::kCipher, "5");
    settings.Erase(settings::kConfig, settings::kBlockMode);
    ConfigDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.ControlAs<QComboBox>(ConfigDialog::kCipherListId)->currentIndex(), -1);
    Click(dialog, IDOK);
    EXPECT_EQ(Stored(settings::kCipher), "5");
    EXPECT_EQ(Stored(settings::kBlockMode), "0");
}

TEST_F(ConfigDialogTest, CipherChoiceIsStoredOnlyWhileTheStoredValueIsZero)
{
    // The stored 0 is written back as the list's index: with nothing selected that is -1.
    settings.Write(settings::kConfig, settings::kCipher, "0");
    ConfigDialog dialog;
    dialog.show();
    dialog.ControlAs<QComboBox>(ConfigDialog::kCipherListId)->setCurrentIndex(-1);
    Click(dialog, IDOK);
    EXPECT_EQ(Stored(settings::kCipher), "-1");

    // Once it is not 0, OK leaves it alone whatever the list shows.
    ConfigDialog again;
    again.show();
    again.ControlAs<QComboBox>(ConfigDialog::kCipherListId)->setCurrentIndex(0);
    Click(again, IDOK);
    EXPECT_EQ(Stored(settings::kCipher), "-1");
}

TEST_F(ConfigDialogTest, BrowseTakesAConfirmedNameAndKeepsTheNameOnCancel)
{
    // The save-as dialog remembers another file; cancelling must not bring that one in.
    settings.Write(settings::kSaveFileDialog, settings::kPath, "/frueher/");
    settings.Write(settings::kSaveFileDialog, settings::kFile, "alt.Kavelmark");
    FakeSaveAsDialog saveAs;
    ConfigDialog dialog;
    dialog.show();

    Click(dialog, ConfigDialog::kBrowseId);
    ASSERT_EQ(saveAs.shownNames.size(), 1u);
    EXPECT_EQ(saveAs.shownNames[0], "/frueher/alt.Kavelmark");
    EXPECT_EQ(saveAs.shownFilters[0], "All Files|*.*||");
    EXPECT_EQ(FileEdit(dialog)->text(), "/daten/pw.Kavelmark");

    saveAs.answer = "/neu/ort/pw2.Kavelmark";
    Click(dialog, ConfigDialog::kBrowseId);
    EXPECT_EQ(FileEdit(dialog)->text(), "/neu/ort/pw2.Kavelmark");
    EXPECT_EQ(Stored(settings::kMainEntryFile), "/daten/pw.Kavelmark") << "only OK changes the setting";
    EXPECT_EQ(settings.Read(settings::kSaveFileDialog, settings::kPath), "/neu/ort/");

    Click(dialog, IDOK);
    EXPECT_EQ(Stored(settings::kMainEntryFile), "/neu/ort/pw2.Kavelmark");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ConfigDialogTest, BrowseWithARefusedDelayShowsTheMessageAndStillOpensTheFileDialog)
{
    FakeSaveAsDialog saveAs;
    ConfigDialog dialog;
    dialog.show();
    HideEdit(dialog)->setText(QStringLiteral("-5"));
    Click(dialog, ConfigDialog::kBrowseId);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, kPositiveText);
    EXPECT_EQ(saveAs.shownNames.size(), 1u);
    dialog.done(IDCANCEL);
}

// A file dialog that moves the process to another folder, as the user browsing does.
class WanderingSaveAsDialog final : public SaveAsDialog
{
public:
    explicit WanderingSaveAsDialog(fs::path elsewhere) : elsewhere_(std::move(elsewhere))
    {
        previous_ = SetSaveAsDialog(this);
    }
    ~WanderingSaveAsDialog() override
    {
        SetSaveAsDialog(previous_);
    }
    WanderingSaveAsDialog(const WanderingSaveAsDialog&) = delete;
    WanderingSaveAsDialog& operator=(const WanderingSaveAsDialog&) = delete;

    std::optional<std::string> Run(const std::string&, const std::string&) override
    {
        fs::current_path(elsewhere_);
        return answer;
    }

    std::optional<std::string> answer;

private:
    fs::path elsewhere_;
    SaveAsDialog* previous_ = nullptr;
};

TEST_F(ConfigDialogTest, BrowseLeavesTheCurrentDirectoryWhereItWas)
{
    std::random_device random;
    const fs::path root = fs::temp_directory_path() / ("kavelmark-config-" + std::to_string(random()));
    fs::create_directories(root / "start");
    fs::create_directories(root / "elsewhere");
    const fs::path original = fs::current_path();
    fs::current_path(root / "start");
    const fs::path start = fs::current_path();
    {
        WanderingSaveAsDialog saveAs(root / "elsewhere");
        ConfigDialog dialog;
        dialog.show();
        for (bool confirm : {false, true})
        {
            SCOPED_TRACE(confirm ? "confirmed" : "cancelled");
            saveAs.answer =
                confirm ? std::optional<std::string>((root / "elsewhere" / "x.Kavelmark").string()) : std::nullopt;
            Click(dialog, ConfigDialog::kBrowseId);
            EXPECT_EQ(fs::current_path(), start);
        }
        dialog.done(IDCANCEL);
    }
    fs::current_path(original);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

} // namespace
} // namespace kavelmark

namespace kavelmark
{
namespace
{

class ConfigFormatTest : public ConfigDialogTest
{
protected:
    ~ConfigFormatTest() override
    {
        SetMainFileFormat(FileFormat::V03);
    }
    static QCheckBox* FormatBox(ConfigDialog& dialog)
    {
        return dialog.ControlAs<QCheckBox>(ConfigDialog::kHardenedFormatId);
    }
    // What the closed list shows.
    static QString BlockMode(ConfigDialog& dialog)
    {
        return dialog.ControlAs<QComboBox>(ConfigDialog::kBlockModeListId)->currentText();
    }
};

TEST_F(ConfigFormatTest, TheBoxShowsTheOpenFilesFormatAndAChangeAsksOnceBeforeTheNextSaveWritesIt)
{
    struct Case
    {
        FileFormat open;
        MessageAnswer answer;
        FileFormat afterOk;
        const char* storedChoice;
    };
    const Case cases[] = {
        {FileFormat::V03, MessageAnswer::Ok, FileFormat::V04, "1"},
        {FileFormat::V03, MessageAnswer::Cancel, FileFormat::V03, "<missing>"},
        {FileFormat::V04, MessageAnswer::Ok, FileFormat::V03, "0"},
        {FileFormat::V04, MessageAnswer::Cancel, FileFormat::V04, "<missing>"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.open) * 10 + static_cast<int>(c.answer));
        settings.Erase(settings::kConfig, "HardenedFormat");
        messages.messages.clear();
        SetMainFileFormat(c.open);
        ConfigDialog dialog;
        dialog.show();
        ASSERT_NE(FormatBox(dialog), nullptr);
        EXPECT_EQ(FormatBox(dialog)->text(), QStringLiteral("&Gehärtetes Dateiformat (V0.4)"));
        EXPECT_EQ(FormatBox(dialog)->isChecked(), c.open == FileFormat::V04);
        EXPECT_EQ(BlockMode(dialog),
                  c.open == FileFormat::V04 ? "GCM - Galois/Counter Mode" : "CBC - Cipher Block Chaining");

        messages.AnswerNext(c.answer);
        QTest::mouseClick(FormatBox(dialog), Qt::LeftButton);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].caption, "Dateiformat");
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Question);
        EXPECT_EQ(messages.messages[0].buttons,
                  c.open == FileFormat::V03 ? MessageButtons::UseV04OrKeep : MessageButtons::UseV03OrKeep);
        EXPECT_NE(messages.messages[0].text.find("V0.3"), std::string::npos);
        EXPECT_EQ(messages.messages[0].text.find("?"), messages.messages[0].text.find("\n") - 1) << "asks first";
        EXPECT_EQ(FormatBox(dialog)->isChecked(), (c.afterOk == FileFormat::V04));
        EXPECT_EQ(BlockMode(dialog),
                  c.afterOk == FileFormat::V04 ? "GCM - Galois/Counter Mode" : "CBC - Cipher Block Chaining");
        EXPECT_EQ(MainFileFormat(), c.open) << "nothing changes before OK";

        Click(dialog, IDOK);
        EXPECT_EQ(MainFileFormat(), c.afterOk);
        EXPECT_EQ(settings.Read(settings::kConfig, "HardenedFormat").value_or("<missing>"), c.storedChoice);
        EXPECT_EQ(messages.messages.size(), 1u) << "asked once";
    }
}

TEST_F(ConfigFormatTest, CancelKeepsTheFormatEvenAfterTheQuestionWasAnswered)
{
    SetMainFileFormat(FileFormat::V03);
    ConfigDialog dialog;
    dialog.show();
    messages.AnswerNext(MessageAnswer::Ok);
    QTest::mouseClick(FormatBox(dialog), Qt::LeftButton);
    Click(dialog, IDCANCEL);
    EXPECT_EQ(MainFileFormat(), FileFormat::V03);
    EXPECT_FALSE(settings.Read(settings::kConfig, "HardenedFormat").has_value());
}

} // namespace
} // namespace kavelmark
