#include <QApplication>
#include <QIcon>

#include "app/FileChooser.h"
#include "app/qt/BusyDerivation.h"
#include "app/qt/QtSaveAsDialog.h"
#include "app/qt/SingleInstance.h"
#include "platform/Messages.h"
#include "platform/ProcessHardening.h"
#include "platform/qt/AccessibilityBusGuard.h"
#include "platform/qt/GermanQtTexts.h"
#include "platform/qt/QtMessageSink.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "settings/qt/QtSettingsBackend.h"
#include "ui/MainWindow.h"
#include "ui/SecretAccessibility.h"

int main(int argc, char** argv)
{
    using namespace kavelmark;
    HardenProcess();

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(settings::kOrganisation));
    QApplication::setApplicationName(QStringLiteral("Kavelmark"));
    // The window stays hidden in the tray; the run ends with the main window's modal run.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallGermanQtTexts();
    FilterSecretAccessibilityUpdates();
    GuardAccessibilityBus();

    QtMessageSink messages;
    ScopedMessageSink scopedMessages(messages);

    // Before anything reads the password file: a second program would save over the first.
    SingleInstance instance(SingleInstance::DefaultName(), SingleInstance::DefaultFolder());
    switch (instance.Claim())
    {
    case SingleInstance::Role::First:
    case SingleInstance::Role::Unguarded:
        break;
    case SingleInstance::Role::HandedOver:
        return 0;
    case SingleInstance::Role::Failed:
        ShowMessage("Kavelmark läuft bereits, reagiert aber nicht.\nBitte beenden Sie das laufende Programm.",
                    "Kavelmark", MessageIcon::Information);
        return 1;
    }

    QtSettingsBackend backend;
    ScopedSettingsBackend scopedSettings(backend);
    ScopedBusyDerivation busyDerivation;
    QtSaveAsDialog saveAsDialog;
    SaveAsDialog* previousDialog = SetSaveAsDialog(&saveAsDialog);

    Settings::SetString(settings::kCompany, settings::kHomePage, settings::kMakerHomePage, true);
    Settings::SetString(settings::kCompany, settings::kEMail, settings::kMakerEMail, true);

    int result = 0;
    {
        MainWindow window;
        QApplication::setWindowIcon(window.ProgramIcon());
        QObject::connect(&instance, &SingleInstance::ActivationRequested, &window, &MainWindow::BringToFront);
        result = window.Run();
    }
    SetSaveAsDialog(previousDialog);
    return result == MainWindow::kStartFailed ? 1 : 0;
}
