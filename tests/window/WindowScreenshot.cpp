// Takes the README's screenshots: salvora-window-screenshot <home> <png> [summary | <device>
// <application> <file>]. Opens the window on the home (as written by salvora-demo-home),
// chooses a device, an application and a file (by default Grace's WhatsApp preferences) and
// waits for the file's preview, or with "summary" chooses only a device and waits for its
// summary; saves a picture of the window.
#include <QApplication>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <cstdio>

#include "app/MainWindow.h"
#include "support/ScriptedPanels.h"

namespace {

bool chooseRowShowing(QTableView& table, const QString& text) {
    const QAbstractItemModel& model = *table.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        if (index.data().toString() != text) continue;
        table.scrollTo(index);
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(index).center());
        return true;
    }
    std::fprintf(stderr, "no row showing %s\n", qPrintable(text));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool summary = argc == 4 && QByteArray(argv[3]) == "summary";
    if (argc != 3 && argc != 6 && !summary) {
        std::fprintf(stderr,
                     "usage: %s <home folder> <png> [summary | <device> <application> <file>]\n",
                     argv[0]);
        return 2;
    }
    const bool chosen = argc == 6;
    const QString device =
        chosen ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("Grace's iPhone 14");
    const QString applicationName =
        chosen ? QString::fromLocal8Bit(argv[4]) : QStringLiteral("WhatsApp Messenger");
    const QString file =
        chosen ? QString::fromLocal8Bit(argv[5]) : QStringLiteral("Library/Preferences/wa.plist");
    qputenv("HOME", argv[1]);
    QApplication application(argc, argv);
    salvora::test::ScriptedPanels panels;
    salvora::MainWindow window(panels);
    window.resize(1180, 720);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    salvora::MainController& controller = window.controller();
    if (summary) {
        if (!chooseRowShowing(*controller.deviceTable, QStringLiteral("Hana's iPhone 15 Pro")))
            return 1;
        const auto* size = window.findChild<QLabel*>(QStringLiteral("summarySize"));
        if (!QTest::qWaitFor([&] { return size->text() != QStringLiteral("Reading…"); }, 10'000))
            return 1;
        QTest::qWait(200);
        return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (!chooseRowShowing(*controller.deviceTable, device) ||
        !chooseRowShowing(*controller.applicationTable, applicationName) ||
        !chooseRowShowing(*controller.fileTable, file))
        return 1;
    // The preview is read off the event thread.
    QTest::qWait(1000);
    return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
