#pragma once

// The real window on a fake home, driven the way a user drives it, with the workflow's state
// table as expectations.
#include <gtest/gtest.h>

#include <QStringList>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/MainWindow.h"
#include "support/BackupWriter.h"
#include "support/FixtureHome.h"
#include "support/ScriptedPanels.h"

class QAction;
class QTableView;

// Readable failures for cell texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace salvora::test {

class WindowTest : public ::testing::Test {
  protected:
    // Every test starts with no folder remembered.
    WindowTest();

    // A backup folder in the primary root; folders are listed by name.
    BackupWriter addBackup(const std::string& folderName,
                           const std::optional<std::string>& deviceName);

    // "Alice" (folder "a"): a manifest database with the applications maps and notes.
    BackupWriter addAlice();
    inline static const QStringList aliceApplications{"maps", "notes"};
    inline static const QStringList mapsFiles{"Documents/route.gpx"};
    inline static const QStringList notesFiles{"Documents/a.txt",
                                               "Library/Preferences/com.example.notes.plist"};
    // "Bob" (folder "b"): ".mdbackup" files of the applications Library and Media.
    BackupWriter addBob();
    inline static const QStringList bobApplications{"Library", "Media"};

    // Creates and shows the window, which scans the home's backups once.
    void openWindow();

    MainController& controller() { return window->controller(); }
    QTableView& deviceTable() { return *controller().deviceTable; }
    QTableView& applicationTable() { return *controller().applicationTable; }
    QTableView& fileTable() { return *controller().fileTable; }

    // A left click in the middle of the row's first cell, as the user gives it.
    void click(QTableView& table, int row);
    // Clicks the device, then the application and the file where given.
    void choose(int device, std::optional<int> application = std::nullopt,
                std::optional<int> file = std::nullopt);
    // Selects the row without a click, as keyboard navigation would.
    void select(QTableView& table, int row);
    // The File menu's action of that name, the menu opened as the user does, which decides
    // whether the action is offered.
    QAction& fileMenuAction(const char* name);

    // Every cell of one column, as the table shows it.
    QStringList cells(const QTableView& table, int column = 0) const;

    // The workflow's four states, every outlet and member checked.
    void expectStart();
    void expectDeviceChosen(int device, const QStringList& applications);
    void expectApplicationChosen(int device, int application, const QStringList& files);
    void expectFileChosen(int device, int application, int file, const QStringList& files);

    FixtureHome home;
    ScriptedPanels panels;
    std::unique_ptr<MainWindow> window;

  private:
    void expectAlways();
    void expectDeviceSelected(int device);
    void expectApplicationSelected(int application, const QStringList& files);
};

}  // namespace salvora::test
