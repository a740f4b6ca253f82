#include "platform/qt/DialogTemplates.h"


#include <utility>

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
                 {"", 0},
                 {"&Über", IDM_ABOUTBOX},
                 {"", 0},
                 {"&Beenden", ID_APP_EXIT},
             }},
            {"E&xtras",
             {
                 {"&Passwort ändern", ID_CHANGE_PASSWORD},
                 {"&Config", ID_CONFIG},
                 {"&Sperren", ID_LOCK},
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
            Ctl(1003, ControlKind::ListView, "", 8, 28, 304, 124,
                SingleSelection | Sorted | ShareImageLists | Border | TabStop),
            Ctl(1006, ControlKind::PushButton, "&Hinzufügen", 8, 160, 50, 14, kButton),
            Ctl(1007, ControlKind::PushButton, "&Löschen", 64, 160, 50, 14, kButton),
            Ctl(1008, ControlKind::PushButton, "&Ändern", 120, 160, 50, 14, kButton),
            Ctl(1010, ControlKind::Static, "Field1", 176, 160, 40, 8, kLabel),
            Ctl(1013, ControlKind::Edit, "", 220, 158, 92, 12, kDetailEdit),
            Ctl(1011, ControlKind::Static, "Field2", 176, 172, 40, 8, kLabel),
            Ctl(1014, ControlKind::Edit, "", 220, 170, 92, 12, kDetailEdit),
            Ctl(1012, ControlKind::Static, "Field3", 176, 184, 40, 8, kLabel),
            Ctl(1015, ControlKind::Edit, "", 220, 182, 92, 12, kDetailEdit),
            Ctl(1, ControlKind::DefaultButton, "&Verbergen", 8, 180, 50, 14, kButton),
            Ctl(2, ControlKind::PushButton, "Be&enden", 64, 180, 50, 14, kButton),
            Ctl(ID_HELP, ControlKind::PushButton, "Hilfe", 120, 180, 50, 14, kButton),
            Ctl(1025, ControlKind::Static, "&Kategorie", 8, 12, 52, 8, kLabel),
            Ctl(1005, ControlKind::ComboBoxEx, "", 64, 8, 248, 120, kDropList),
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
            Ctl(1027, ControlKind::Static, "&Kategorie", 4, 4, 60, 8, kLabel),
            Ctl(1017, ControlKind::ComboBoxEx, "", 64, 4, 220, 96, kDropList),
            Ctl(1029, ControlKind::Static, "&Name", 4, 24, 60, 8, kLabel),
            Ctl(1019, ControlKind::Edit, "", 64, 22, 220, 12, kLineEdit),
            Ctl(1028, ControlKind::Static, "&Beschreibung", 4, 40, 60, 8, kLabel),
            Ctl(1020, ControlKind::Edit, "", 64, 38, 220, 12, kLineEdit),
            Ctl(1010, ControlKind::Static, "Field1", 4, 58, 60, 8, kLabel),
            Ctl(1013, ControlKind::Edit, "", 64, 56, 220, 20, kValueEdit),
            Ctl(1011, ControlKind::Static, "Field2", 4, 86, 60, 8, kLabel),
            Ctl(1014, ControlKind::Edit, "", 64, 84, 220, 36, kValueEdit),
            Ctl(1012, ControlKind::Static, "Field3", 4, 130, 60, 8, kLabel),
            Ctl(1015, ControlKind::Edit, "", 64, 128, 220, 84, kValueEdit),
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
        64,
        "MS Sans Serif",
        8,
        DialogStyle::NoCloseBox | DialogStyle::Foreground,
        nullptr,
        {
            Ctl(1022, ControlKind::Static, "Bitte geben Sie Ihr Kennwort ein.", 7, 7, 124, 8, None),
            Ctl(1021, ControlKind::Edit, "", 7, 20, 124, 12, Password | kLineEdit),
            Ctl(1, ControlKind::DefaultButton, "OK", 7, 42, 50, 14, kButton),
            Ctl(2, ControlKind::PushButton, "Cancel", 81, 42, 50, 14, kButton),
        },
    };
    return dialog;
}

const DialogTemplate& ConfigTemplate()
{
    static const DialogTemplate dialog{
        137,
        "Config",
        119,
        143,
        "MS Sans Serif",
        8,
        DialogStyle::Resizable | DialogStyle::NoCloseBox,
        nullptr,
        {
            Ctl(1, ControlKind::DefaultButton, "OK", 7, 122, 50, 14, kButton),
            Ctl(2, ControlKind::PushButton, "Cancel", 62, 122, 50, 14, kButton),
            Ctl(1030, ControlKind::Static, "Filename:", 7, 7, 60, 8, None),
            Ctl(1031, ControlKind::Edit, "", 7, 17, 86, 12, kLineEdit),
            Ctl(1032, ControlKind::PushButton, "?", 97, 16, 15, 14, kButton),
            Ctl(1033, ControlKind::Static, "Ausblenzeit (mSec):", 7, 35, 70, 8, None),
            Ctl(1034, ControlKind::Edit, "", 7, 45, 105, 12, kLineEdit),
            Ctl(1048, ControlKind::ComboBox, "", 7, 73, 105, 48, kDropList | Sorted, {"TwoFish"}),
            Ctl(1035, ControlKind::Static, "Verschlüsselung:", 7, 63, 70, 8, None),
            Ctl(1049, ControlKind::ComboBox, "", 7, 101, 105, 48, kDropList | Sorted, {"CBC - Cipher Block Chaining"}),
            Ctl(1036, ControlKind::Static, "Block-Mode:", 7, 91, 70, 8, None),
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
            Ctl(1043, ControlKind::Edit, "", 14, 108, 219, 38, kNotice),
            Ctl(1044, ControlKind::Edit, "", 14, 180, 219, 38, kNotice),
            Ctl(1040, ControlKind::Icon, "", 7, 7, 21, 20, None),
            Ctl(1026, ControlKind::Static, "Kavelmark Version 1.0", 38, 7, 145, 8, NoPrefix),
            Ctl(1023, ControlKind::Static, "Build", 38, 18, 145, 8, None),
            Ctl(1036, ControlKind::Static, "Copyright (C) 2026 Brenkholt", 38, 34, 145, 8, None),
            Ctl(1037, ControlKind::Static, "Kavelmark-Team, Brenkholt", 38, 45, 145, 8, None),
            Ctl(1038, ControlKind::Static, std::string("e-mail: ") + settings::kMakerEMail, 38, 56, 145, 8, None),
            Ctl(1039, ControlKind::Static, std::string("WWW: ") + settings::kMakerHomePage, 38, 67, 145, 8, None),
            Ctl(1045, ControlKind::GroupBox, "Panelgrid", 7, 96, 233, 66, None),
            Ctl(1035, ControlKind::Static, "WWW: https://www.example.org/panelgrid", 14, 150, 219, 8, None),
            Ctl(1046, ControlKind::GroupBox, "Crypto++ Lib", 7, 168, 233, 68, None),
            Ctl(1041, ControlKind::Static, "WWW: https://www.cryptopp.com/", 14, 222, 219, 8, None),
        },
    };
    return dialog;
}

} // namespace kavelmark
