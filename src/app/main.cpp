#include "app/main_window.h"
#include "app/qt_translations.h"
#include "editor/text_editor_window.h"
#include "korvanthiel_version.h"
#include "text/file_io.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstring>
#include <iostream>

// Start-up: the main window, then the hidden text editor window, then the event loop; the
// settings are read when the main window is first shown. A project named on the command line
// is opened as Open would open it.
int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "korvanthiel " << KORV_VERSION << "\n";
        return 0;
    }
    kv::RemoveTemporaryFileOnSignals(); // an interrupted save or compile leaves no stray file
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvanthiel"));
    QApplication::setApplicationVersion(QStringLiteral(KORV_VERSION));
    kv::LoadRussianQtTexts();

    kv::TMain mainWindow;
    auto* textEditor = new kv::TForm2(&mainWindow);
    mainWindow.AttachTextEditor(textEditor);
    mainWindow.show();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        mainWindow.OpenProjectFile(QFileInfo(arguments.at(1)).absoluteFilePath());

    return QApplication::exec();
}
