// tessmar-snapshot FOLDER: draws the main window and the About window off screen and
// saves them as main-window.png and about-window.png, for the README and for looking.
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
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool Save(QWidget& window, const QDir& folder, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name);
    if (!window.grab().save(path, "PNG")) {
        std::fprintf(stderr, "%s: kann nicht geschrieben werden\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tessmar;
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: %s ORDNER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "%s: Ordner fehlt\n", argv[1]);
        return 1;
    }

    // The placement file goes to a folder of its own, so the user's stays untouched.
    QTemporaryDir config;
    IniFileProfile profile(QDir(config.path()).filePath("tessmar.INI").toStdString());
    QtSaveDialog saveDialog;
    QtMessageBox messages;
    QtScreenMetrics screen;
    DesktopShell shell;
    // A typical installation: the program folder is not the user's, so the proposed file
    // lies in the home folder.
    TMainForm form(
        {profile, saveDialog, messages, screen, "/nonexistent/tessmar/tessmar", "/home/anna"});
    TAboutBox about(shell, screen, &form);
    const bool ok =
        Save(form, folder, "main-window.png") && Save(about, folder, "about-window.png");
    return ok ? 0 : 1;
}
