// salvora-window-bench [--idle SECONDS] APPLICATION [RUNS [SAVED DESTINATION]]: opens the
// window on the home that $HOME names, waits SECONDS as a user looks at it before the first
// click, then chooses its first device and that device's APPLICATION with the mouse, RUNS times,
// and writes the time from each click until the next table is shown
// ("name value" lines): the first choice of the device, the median of choosing it again (which
// also lets the previous catalogue go), and the median choice of the application; and, for the
// first choice, the time until the summary pane shows every count, and its size on disk. Then
// it types into the file filter, one key at a time, and writes the first answer and the longest
// of the others. With SAVED, it saves all files of that application below DESTINATION and
// writes the event loop's longest stall meanwhile.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/MainWindow.h"
#include "bench/Measure.h"
#include "foundation/Log.h"
#include "support/ScriptedPanels.h"

namespace {

using salvora::bench::median;
using salvora::bench::secondsOf;

void click(QTableView& table, int row) {
    const QModelIndex index = table.model()->index(row, 0);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(index).center());
}

// Until the table has drawn what it shows.
void drawn(QTableView& table) {
    QCoreApplication::processEvents();
    table.viewport()->repaint();
}

int rowShowing(const QTableView& table, const QString& text) {
    const QAbstractItemModel& model = *table.model();
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.index(row, 0).data().toString() == text) return row;
    return -1;
}

// Until the summary pane shows every one of the labels filled in, or a minute has passed.
bool summaryShows(const QWidget& window, const std::vector<const char*>& labels) {
    return QTest::qWaitFor(
        [&] {
            return std::all_of(labels.begin(), labels.end(), [&](const char* name) {
                const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
                return label != nullptr && !label->text().isEmpty() &&
                       label->text() != QStringLiteral("Reading…");
            });
        },
        60'000);
}

// How long keys typed into the filter take until the table shows the rows kept: the first and
// the longest of the others.
std::pair<double, double> filterAnswers(QLineEdit& filter, QTableView& files) {
    std::vector<double> times;
    for (const char* typed : {"l", "li", "lib", "libr", "libra", "librar", "library", ""}) {
        times.push_back(secondsOf([&] {
            filter.setText(QString::fromLatin1(typed));
            drawn(files);
        }));
    }
    return {times.front(), *std::max_element(times.begin() + 1, times.end())};
}

// The longest time the event loop went without running a timer due every millisecond, while
// `work` runs.
template <typename Work>
double longestStallDuring(Work work) {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    tick.start();
    work();
    return static_cast<double>(std::max(longest, clock.nsecsElapsed() - last)) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    // A machine left idle may hand memory back to its host, and the first click pays for
    // taking it again, as a user's does.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    double idleSeconds = 0;
    if (arguments.size() > 1 && arguments[0] == "--idle") {
        idleSeconds = std::stod(arguments[1]);
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    if (arguments.empty()) {
        std::cerr << "usage: salvora-window-bench [--idle SECONDS] APPLICATION "
                     "[RUNS [SAVED DESTINATION]]\n";
        return 2;
    }
    const QString application = QString::fromStdString(arguments[0]);
    const int runs = std::max(arguments.size() > 1 ? std::stoi(arguments[1]) : 5, 2);

    salvora::test::ScriptedPanels panels;
    salvora::MainWindow window(panels);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    salvora::MainController& controller = window.controller();
    QTableView& devices = *controller.deviceTable;
    QTableView& applications = *controller.applicationTable;
    QTableView& files = *controller.fileTable;
    if (devices.model()->rowCount() < 1) {
        std::cerr << "salvora-window-bench: no device in the home\n";
        return 1;
    }

    drawn(devices);
    std::this_thread::sleep_for(std::chrono::duration<double>(idleSeconds));

    std::vector<double> deviceTimes;
    std::vector<double> applicationTimes;
    double countsShown = 0;
    double sizeShown = 0;
    for (int run = 0; run < runs; ++run) {
        devices.clearSelection();
        drawn(devices);
        QElapsedTimer sinceClick;
        sinceClick.start();
        deviceTimes.push_back(secondsOf([&] {
            click(devices, 0);
            drawn(applications);
        }));
        if (run == 0) {
            if (!summaryShows(window,
                              {"summaryFiles", "photosCount", "messagesCount", "whatsappCount",
                               "contactsCount", "callsCount", "calendarsCount"}))
                return 1;
            countsShown = static_cast<double>(sinceClick.nsecsElapsed()) / 1e9;
            if (!summaryShows(window, {"summarySize"})) return 1;
            sizeShown = static_cast<double>(sinceClick.nsecsElapsed()) / 1e9;
        }
        const int row = rowShowing(applications, application);
        if (row < 0) {
            std::cerr << "salvora-window-bench: no application " << arguments[0] << '\n';
            return 1;
        }
        applications.scrollTo(applications.model()->index(row, 0));
        drawn(applications);
        applicationTimes.push_back(secondsOf([&] {
            click(applications, row);
            drawn(files);
        }));
    }
    auto& filter = *window.findChild<QLineEdit*>("fileFilterField");
    const auto [firstKey, laterKeys] = filterAnswers(filter, files);
    const int applicationFiles = files.model()->rowCount();

    if (arguments.size() > 3) {
        const int row = rowShowing(applications, QString::fromStdString(arguments[2]));
        if (row < 0) {
            std::cerr << "salvora-window-bench: no application " << arguments[2] << '\n';
            return 1;
        }
        click(applications, row);
        drawn(files);
        panels.folderAnswers = {arguments[3]};
        // Two log lines a file would bury the report.
        const salvora::LogSilence quiet;
        const double stall = longestStallDuring(
            [&] { window.findChild<QAction*>("saveAllFilesAction")->trigger(); });
        std::cout << "save-all-files " << files.model()->rowCount() << '\n'
                  << "save-all-longest-stall-seconds " << stall << '\n';
    }
    const double first = deviceTimes.front();
    deviceTimes.erase(deviceTimes.begin());
    std::cout << "device-seconds " << first << '\n'
              << "summary-counts-seconds " << countsShown << '\n'
              << "summary-size-seconds " << sizeShown << '\n'
              << "device-again-seconds " << median(deviceTimes) << '\n'
              << "applications " << applications.model()->rowCount() << '\n'
              << "application-seconds " << median(applicationTimes) << '\n'
              << "files " << applicationFiles << '\n'
              << "filter-first-key-seconds " << firstKey << '\n'
              << "filter-later-keys-seconds " << laterKeys << '\n';
    return 0;
}
