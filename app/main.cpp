// Program start: application title, the main window (closing it ends the program), the
// About window created hidden, then the event loop.
#include "app/AboutBoxUnit.h"
#include "app/AppError.h"
#include "app/MainUnit.h"
#include "platform/DesktopShell.h"
#include "platform/IniFileProfile.h"
#include "platform/QtMessageBox.h"
#include "platform/QtSaveDialog.h"
#include "platform/QtScreenMetrics.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    using namespace tessmar;
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);

    const std::string programFile = QCoreApplication::applicationFilePath().toStdString();
    IniFileProfile profile(IniFileProfile::DefaultPathFor(programFile));
    QtSaveDialog saveDialog;
    QtMessageBox messages;
    QtScreenMetrics screen;
    DesktopShell shell;

    TMainForm form(
        {profile, saveDialog, messages, screen, programFile, QDir::homePath().toStdString()});
    TAboutBox about(shell, screen, &form);
    form.SetAboutBox(&about);
    form.show();
    return app.exec();
}
