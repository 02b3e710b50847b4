#include "app/ApplicationMain.h"

#include <QApplication>

#include "app/MainWindow.h"
#include "window/QtPanels.h"

namespace salvora {

int applicationMain(int& argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Salvora"));
    QApplication::setApplicationVersion(QStringLiteral(SALVORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("salvora"));
    QtPanels panels;
    MainWindow window(panels);
    window.show();
    return QApplication::exec();
}

}  // namespace salvora
