#include "platform/qt/DialogTemplates.h"

#include <utility>

#include "platform/ControlIds.h"
#include "settings/SettingsNames.h"

namespace kavelmark
{
namespace
{

using namespace ControlStyle;

constexpr std::uint32_t kLabel = GroupStart;
constexpr std::uint32_t kButton = TabStop;
constexpr std::uint32_t kLineEdit = AutoHScroll | Border | TabStop;
constexpr std::uint32_t kDetailEdit = ReadOnly | AutoHScroll | Border | TabStop;
constexpr std::uint32_t kValueEdit = MultiLine | AutoVScroll | AutoHScroll | WantReturn | Border | TabStop;
constexpr std::uint32_t kDropList = VScroll | TabStop;

} // namespace

ControlTemplate Ctl(int id, ControlKind kind, const std::string& caption, int x, int y, int w, int h,
                    std::uint32_t style, std::vector<std::string> items)
{
    return ControlTemplate{id, kind, caption, x, y, w, h, style, std::move(items)};
}

const MenuBarTemplate& MainMenuTemplate()
{
    static const MenuBarTemplate menu{
        131,
        {
            {"&Datei",
             {
                 {"Datei &öffnen", ID_FILE_OPEN},
                 {"Datei &speichern", ID_FILE_SAVE},
                 {"Datei speichern &unter", ID_FILE_SAVE_AS},
                 {"&Konfliktkopien zusammenführen…", ID_MERGE_COPIES},
                 {"", 0},
                 {"&Über", IDM_ABOUTBOX},
                 {"", 0},
                 {"&Beenden", ID_APP_EXIT},
             }},
            {"E&xtras",
             {
                 {"&Passwort ändern", ID_CHANGE_PASSWORD},
                 {"&Config", ID_CONFIG},
                 {"Sp&erren", ID_LOCK},
                 {"&Suchen...", ID_FIND},
             }},
        },
    };
    return menu;
}

const DialogTemplate& MainWindowTemplate()
{
    static const DialogTemplate dialog{
        102,
        "Kavelmark",
        320,
        203,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable | DialogStyle::MinimizeBox | DialogStyle::ContextHelp | DialogStyle::AppWindow |
            DialogStyle::Foreground,
        &MainMenuTemplate(),
        {
            Ctl(control::main::kEntryList, ControlKind::ListView, "", 8, 28, 304, 124,
                SingleSelection | Sorted | ShareImageLists | Border | TabStop),
            Ctl(control::main::kAdd, ControlKind::PushButton, "&Hinzufügen", 8, 160, 50, 14, kButton),
            Ctl(control::main::kDelete, ControlKind::PushButton, "&Löschen", 64, 160, 50, 14, kButton),
            Ctl(control::main::kChange, ControlKind::PushButton, "&Ändern", 120, 160, 50, 14, kButton),
            Ctl(control::main::kDetailLabels[0], ControlKind::Static, "Field1", 176, 160, 40, 8, kLabel),
            Ctl(control::main::kDetailFields[0], ControlKind::Edit, "", 220, 158, 92, 12, kDetailEdit),
            Ctl(control::main::kDetailLabels[1], ControlKind::Static, "Field2", 176, 172, 40, 8, kLabel),
            Ctl(control::main::kDetailFields[1], ControlKind::Edit, "", 220, 170, 92, 12, kDetailEdit),
            Ctl(control::main::kDetailLabels[2], ControlKind::Static, "Field3", 176, 184, 40, 8, kLabel),
            Ctl(control::main::kDetailFields[2], ControlKind::Edit, "", 220, 182, 92, 12, kDetailEdit),
            Ctl(1, ControlKind::DefaultButton, "&Verbergen", 8, 180, 50, 14, kButton),
            Ctl(2, ControlKind::PushButton, "Be&enden", 64, 180, 50, 14, kButton),
            Ctl(ID_HELP, ControlKind::PushButton, "Hilfe", 120, 180, 50, 14, kButton),
            Ctl(control::main::kFilterLabel, ControlKind::Static, "&Kategorie", 8, 12, 52, 8, kLabel),
            Ctl(control::main::kFilter, ControlKind::ComboBoxEx, "", 64, 8, 248, 120, kDropList),
        },
    };
    return dialog;
}

const DialogTemplate& EditEntryTemplate()
{
    static const DialogTemplate dialog{
        134,
        "Eintrag Hinzufügen",
        350,
        219,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable | DialogStyle::NoCloseBox | DialogStyle::ContextHelp,
        nullptr,
        {
            Ctl(control::edit::kCategoryLabel, ControlKind::Static, "&Kategorie", 4, 4, 60, 8, kLabel),
            Ctl(control::edit::kCategoryList, ControlKind::ComboBoxEx, "", 64, 4, 220, 96, kDropList),
            Ctl(control::edit::kNameLabel, ControlKind::Static, "&Name", 4, 24, 60, 8, kLabel),
            Ctl(control::edit::kName, ControlKind::Edit, "", 64, 22, 220, 12, kLineEdit),
            Ctl(control::edit::kDescriptionLabel, ControlKind::Static, "&Beschreibung", 4, 40, 60, 8, kLabel),
            Ctl(control::edit::kDescription, ControlKind::Edit, "", 64, 38, 220, 12, kLineEdit),
            Ctl(control::edit::kLabels[0], ControlKind::Static, "Field1", 4, 58, 60, 8, kLabel),
            Ctl(control::edit::kValues[0], ControlKind::Edit, "", 64, 56, 220, 20, kValueEdit),
            Ctl(control::edit::kLabels[1], ControlKind::Static, "Field2", 4, 86, 60, 8, kLabel),
            Ctl(control::edit::kValues[1], ControlKind::Edit, "", 64, 84, 220, 36, kValueEdit),
            Ctl(control::edit::kLabels[2], ControlKind::Static, "Field3", 4, 130, 60, 8, kLabel),
            Ctl(control::edit::kValues[2], ControlKind::Edit, "", 64, 128, 220, 84, kValueEdit),
            Ctl(1, ControlKind::DefaultButton, "OK", 292, 4, 50, 14, kButton),
            Ctl(2, ControlKind::PushButton, "Cancel", 292, 24, 50, 14, kButton),
        },
    };
    return dialog;
}

const DialogTemplate& LoginTemplate()
{
    static const DialogTemplate dialog{
        135,
        "Kavelmark Login",
        138,
        72,
        "MS Sans Serif",
        8,
        DialogStyle::NoCloseBox | DialogStyle::Foreground,
        nullptr,
        {
            Ctl(control::login::kPrompt, ControlKind::Static, "Bitte geben Sie Ihr Kennwort ein.", 7, 7, 124, 16, None),
            Ctl(control::login::kPassword, ControlKind::Edit, "", 7, 28, 124, 12, Password | kLineEdit),
            Ctl(1, ControlKind::DefaultButton, "OK", 7, 50, 50, 14, kButton),
            Ctl(2, ControlKind::PushButton, "Cancel", 81, 50, 50, 14, kButton),
        },
    };
    return dialog;
}

const DialogTemplate& ConfigTemplate()
{
    static const DialogTemplate dialog{
        137,
        "Config",
        144,
        159,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable | DialogStyle::NoCloseBox,
        nullptr,
        {
            Ctl(1, ControlKind::DefaultButton, "OK", 7, 138, 50, 14, kButton),
            Ctl(2, ControlKind::PushButton, "Cancel", 62, 138, 50, 14, kButton),
            Ctl(control::config::kFileNameLabel, ControlKind::Static, "Filename:", 7, 7, 60, 8, None),
            Ctl(control::config::kFileName, ControlKind::Edit, "", 7, 17, 86, 12, kLineEdit),
            Ctl(control::config::kBrowse, ControlKind::PushButton, "?", 97, 16, 15, 14, kButton),
            Ctl(control::config::kHideTimeLabel, ControlKind::Static, "Ausblenzeit (mSec):", 7, 35, 70, 8, None),
            Ctl(control::config::kHideTime, ControlKind::Edit, "", 7, 45, 105, 12, kLineEdit),
            Ctl(control::config::kCipherList, ControlKind::ComboBox, "", 7, 73, 105, 48, kDropList | Sorted,
                {"TwoFish"}),
            Ctl(control::config::kCipherLabel, ControlKind::Static, "Verschlüsselung:", 7, 63, 70, 8, None),
            Ctl(control::config::kBlockModeList, ControlKind::ComboBox, "", 7, 101, 105, 48, kDropList | Sorted,
                {"CBC - Cipher Block Chaining"}),
            Ctl(control::config::kBlockModeLabel, ControlKind::Static, "Block-Mode:", 7, 91, 70, 8, None),
            Ctl(control::config::kHardenedFormat, ControlKind::CheckBox, "&Gehärtetes Dateiformat (V0.4)", 7, 119, 130,
                10, kButton),
        },
    };
    return dialog;
}

const DialogTemplate& AboutTemplate()
{
    constexpr std::uint32_t kNotice = MultiLine | ReadOnly | AutoVScroll | VScroll | Border | TabStop;
    static const DialogTemplate dialog{
        100,
        "Info über Kavelmark",
        247,
        243,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable | DialogStyle::NoCloseBox,
        nullptr,
        {
            Ctl(1, ControlKind::DefaultButton, "OK", 190, 7, 50, 14, kButton | GroupStart),
            Ctl(control::about::kLayoutNotice, ControlKind::Edit, "", 14, 108, 219, 38, kNotice),
            Ctl(control::about::kCryptoNotice, ControlKind::Edit, "", 14, 180, 219, 38, kNotice),
            Ctl(control::about::kIcon, ControlKind::Icon, "", 7, 7, 21, 20, None),
            Ctl(control::about::kVersion, ControlKind::Static, "Kavelmark Version 1.0", 38, 7, 145, 8, NoPrefix),
            Ctl(control::about::kBuildLine, ControlKind::Static, "Build", 38, 18, 145, 8, None),
            Ctl(control::about::kCopyright, ControlKind::Static, "Copyright (C) 2026 Brenkholt", 38, 34, 145, 8, None),
            Ctl(control::about::kMaker, ControlKind::Static, "Kavelmark-Team, Brenkholt", 38, 45, 145, 8, None),
            Ctl(control::about::kMail, ControlKind::Static, std::string("e-mail: ") + settings::kMakerEMail, 38, 56,
                145, 8, None),
            Ctl(control::about::kMakerLink, ControlKind::Static, std::string("WWW: ") + settings::kMakerHomePage, 38,
                67, 145, 8, None),
            Ctl(control::about::kLayoutGroup, ControlKind::GroupBox, "Panelgrid", 7, 96, 233, 66, None),
            Ctl(control::about::kLayoutLink, ControlKind::Static, "WWW: https://www.example.org/panelgrid", 14, 150,
                219, 8, None),
            Ctl(control::about::kCryptoGroup, ControlKind::GroupBox, "Crypto++ Lib", 7, 168, 233, 68, None),
            Ctl(control::about::kCryptoLink, ControlKind::Static, "WWW: https://www.cryptopp.com/", 14, 222, 219, 8,
                None),
        },
    };
    return dialog;
}

const DialogTemplate& FindTemplate()
{
    using namespace ControlStyle;
    static const DialogTemplate dialog{
        0,
        "Suchen",
        180,
        48,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable,
        nullptr,
        {
            Ctl(control::find::kTextLabel, ControlKind::Static, "Suchen &nach:", 7, 9, 50, 8, GroupStart),
            Ctl(control::find::kText, ControlKind::Edit, "", 60, 7, 113, 12, AutoHScroll | Border | TabStop),
            Ctl(IDOK, ControlKind::DefaultButton, "&Weitersuchen", 68, 27, 50, 14, TabStop | GroupStart),
            Ctl(IDCANCEL, ControlKind::PushButton, "Abbrechen", 123, 27, 50, 14, TabStop),
        },
    };
    return dialog;
}

const DialogTemplate& GeneratorTemplate()
{
    using namespace ControlStyle;
    constexpr std::uint32_t kBox = TabStop;
    static const DialogTemplate dialog{
        0,
        "Kennwort erzeugen",
        200,
        150,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable,
        nullptr,
        {
            Ctl(control::generator::kLengthLabel, ControlKind::Static, "&Länge (8 bis 64):", 7, 9, 70, 8, GroupStart),
            Ctl(control::generator::kLength, ControlKind::Edit, "", 80, 7, 30, 12, AutoHScroll | Border | TabStop),
            Ctl(control::generator::kUpper, ControlKind::CheckBox, "&Großbuchstaben (A-Z)", 7, 25, 186, 10, kBox),
            Ctl(control::generator::kLower, ControlKind::CheckBox, "&Kleinbuchstaben (a-z)", 7, 37, 186, 10, kBox),
            Ctl(control::generator::kDigits, ControlKind::CheckBox, "&Ziffern (0-9)", 7, 49, 186, 10, kBox),
            Ctl(control::generator::kSpecial, ControlKind::CheckBox, "&Sonderzeichen (!#$%...)", 7, 61, 186, 10, kBox),
            Ctl(control::generator::kCandidateLabel, ControlKind::Static, "Kennwort:", 7, 79, 60, 8, GroupStart),
            Ctl(control::generator::kCandidate, ControlKind::Edit, "", 7, 89, 186, 12,
                ReadOnly | AutoHScroll | Border | TabStop),
            Ctl(control::generator::kStrength, ControlKind::Static, "", 7, 105, 120, 8, NoPrefix),
            Ctl(control::generator::kNew, ControlKind::PushButton, "&Neu", 143, 103, 50, 14, TabStop),
            Ctl(IDOK, ControlKind::DefaultButton, "OK", 88, 129, 50, 14, TabStop | GroupStart),
            Ctl(IDCANCEL, ControlKind::PushButton, "Abbrechen", 143, 129, 50, 14, TabStop),
        },
    };
    return dialog;
}

} // namespace kavelmark
