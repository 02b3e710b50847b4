#include "app/ApplicationMain.h"

#include <QApplication>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "window/QtPanels.h"

namespace salvora {

int applicationMain(int& argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Salvora"));
    QApplication::setApplicationVersion(QStringLiteral(SALVORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("salvora"));
    const std::vector<std::string> folders = foldersToOpen(QApplication::arguments());
    QtPanels panels;
    MainWindow window(panels);
    window.show();
    if (!folders.empty()) window.controller().openBackupFolders(folders);
    return QApplication::exec();
}

}  // namespace salvora
