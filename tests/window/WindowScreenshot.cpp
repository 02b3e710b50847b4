// Takes the README's screenshots: salvora-window-screenshot <home> <png> [summary | export |
// <device> <application> <file>]. Opens the window on the home (as written by
// salvora-demo-home), chooses a device, an application and a file (by default Grace's WhatsApp
// preferences) and waits for the file's preview, or with "summary" chooses only a device and
// waits for its summary, or with "export" also exports its messages into the home and waits
// for the question whether to open them; saves a picture of the window (with the question, of
// the screen: an X server's, as scripts/screenshot.sh runs it).
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/MainWindow.h"
#include "support/ScriptedPanels.h"
#include "window/QtPanels.h"

namespace {

// Exports into a folder of the home and shows the question that ends an export as the window
// does, taking the picture while it is up.
class ExportPanels final : public salvora::Panels {
  public:
    ExportPanels(std::string destination, QString png)
        : destination_(std::move(destination)), png_(std::move(png)) {}

    QWidget* window = nullptr;  // whose area is taken
    bool saved = false;

    std::optional<std::string> chooseFolder(const std::string&) override { return destination_; }
    std::optional<std::string> chooseSavePath(const std::string&) override { return {}; }
    std::optional<std::string> askPassword(const std::string&, bool) override { return {}; }
    bool askYesOrNo(const std::string& title, const std::string& question) override {
        QTimer::singleShot(500, [this] {
            const QRect area = window->frameGeometry();
            saved = window->screen()
                        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                        .save(png_);
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        return salvora::QtPanels().askYesOrNo(title, question);
    }
    void openUrl(const QUrl&) override {}

  private:
    std::string destination_;
    QString png_;
};

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
    const bool exported = argc == 4 && QByteArray(argv[3]) == "export";
    if (argc != 3 && argc != 6 && !summary && !exported) {
        std::fprintf(stderr,
                     "usage: %s <home folder> <png> [summary | export | <device> <application> "
                     "<file>]\n",
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
    salvora::test::ScriptedPanels scripted;
    ExportPanels exporting(std::string(argv[1]) + "/Messages export",
                           QString::fromLocal8Bit(argv[2]));
    salvora::MainWindow window(exported ? static_cast<salvora::Panels&>(exporting) : scripted);
    exporting.window = &window;
    window.resize(1180, 720);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    salvora::MainController& controller = window.controller();
    if (summary || exported) {
        if (!chooseRowShowing(*controller.deviceTable, QStringLiteral("Hana's iPhone 15 Pro")))
            return 1;
        const auto* size = window.findChild<QLabel*>(QStringLiteral("summarySize"));
        if (!QTest::qWaitFor([&] { return size->text() != QStringLiteral("Reading…"); }, 10'000))
            return 1;
        QTest::qWait(200);
        if (exported) {
            window.findChild<QAction*>(QStringLiteral("exportMessagesAction"))->trigger();
            return exporting.saved ? 0 : 1;
        }
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
