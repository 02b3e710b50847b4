// The calendars in the window: File → Export → Calendars… offered for a device whose backup
// holds them and exporting into the chosen folder, and their database previewed as events.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "foundation/FileQueries.h"
#include "support/CalendarWriter.h"
#include "support/FolderSnapshot.h"
#include "support/TemporaryFolder.h"
#include "support/WindowTest.h"

namespace salvora::test {
namespace {

class CalendarWindow : public WindowTest {
  protected:
    // Timed events are listed in the computer's zone: Europe/Berlin, wherever the test runs.
    CalendarWindow() {
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }

    QAction& exportAction() { return fileMenuAction("exportCalendarsAction"); }

    TemporaryFolder out;
};

TEST_F(CalendarWindow, ExportsTheCalendarsAndPreviewsTheirEvents) {
    addAlice();
    BackupWriter carol = addBackup("c", "Carol");
    writeCalendarDatabase(JournalMode::WalWithLog,
                          [&](const std::string& path, const std::string& contents) {
                              carol.addManifestDbFile("HomeDomain", path, contents);
                          });
    const auto before = folderSnapshot(carol.folder());
    openWindow();
    choose(0);
    EXPECT_FALSE(exportAction().isEnabled());
    choose(1);
    ASSERT_TRUE(exportAction().isEnabled());
    panels.folderAnswers = {out.path()};
    exportAction().trigger();
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
              "Exported 2 calendars, 5 events, 2 birthday or holiday calendars left out, 0 failed "
              "to " +
                  out.path() + ".");
    auto files = *directoryContents(out.path());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{".salvora-export", "Büro.ics", "Home.ics"}));

    choose(1, 0);
    choose(1, 0,
           static_cast<int>(cells(fileTable()).indexOf("Library/Calendar/Calendar.sqlitedb")));
    auto& summary = *window->findChild<QLabel*>("previewSummary");
    EXPECT_TRUE(QTest::qWaitFor([&] { return summary.text() != "Loading…"; }));
    EXPECT_TRUE(summary.text().startsWith("Calendars")) << summary.text().toStdString();
    const QStringList lines =
        window->findChild<QPlainTextEdit*>("previewText")->toPlainText().split('\n');
    EXPECT_EQ(lines.value(0), "1815-12-10  ·  Ada Lovelace  ·  Birthdays");
    EXPECT_TRUE(lines.contains("2024-03-04 18:00 +01:00  ·  Yoga 🧘 mit Jürgen  ·  Home"))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("2024-04-10 08:30  ·  Floating  ·  Büro"));
    EXPECT_EQ(folderSnapshot(carol.folder()), before);
}

}  // namespace
}  // namespace salvora::test
