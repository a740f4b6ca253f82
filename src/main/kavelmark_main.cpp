#include <QApplication>
#include <QIcon>

#include "app/FileChooser.h"
#include "app/qt/QtSaveAsDialog.h"
#include "platform/Messages.h"
#include "platform/ProcessHardening.h"
#include "platform/qt/QtMessageSink.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "settings/qt/QtSettingsBackend.h"
#include "ui/MainWindow.h"

int main(int argc, char** argv)
{
    using namespace kavelmark;
    HardenProcess();

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(settings::kOrganisation));
    QApplication::setApplicationName(QStringLiteral("Kavelmark"));
    // The window stays hidden in the tray; the run ends with the main window's modal run.
    QApplication::setQuitOnLastWindowClosed(false);

    QtSettingsBackend backend;
    ScopedSettingsBackend scopedSettings(backend);
    QtMessageSink messages;
    ScopedMessageSink scopedMessages(messages);
    QtSaveAsDialog saveAsDialog;
    SaveAsDialog* previousDialog = SetSaveAsDialog(&saveAsDialog);

    Settings::SetString(settings::kCompany, settings::kHomePage, "https://kavelmark.brenkholt.example/", true);
    Settings::SetString(settings::kCompany, settings::kEMail, "kavelmark@brenkholt.example", true);

    int result = 0;
    {
        MainWindow window;
        QApplication::setWindowIcon(window.ProgramIcon());
        result = window.Run();
    }
    SetSaveAsDialog(previousDialog);
    return result == MainWindow::kStartFailed ? 1 : 0;
}
