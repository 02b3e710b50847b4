// Backups kept anywhere: opened through the folder panel, dropped onto the window or named on
// the command line, and remembered until removed.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QTableView>
#include <QUrl>

#include "app/CommandLine.h"
#include "support/PlistValue.h"
#include "support/TemporaryFolder.h"
#include "support/WindowTest.h"

namespace salvora::test {
namespace {

class OpenBackup : public WindowTest {
  protected:
    // A backup of "Zoe" in a folder of a drive outside the home, with one application.
    std::string addOutsideBackup(const std::string& folderName, const std::string& deviceName) {
        const std::string folder = drive / folderName;
        BackupWriter writer(folder);
        PlistValue::dictionary({{"Device Name", PlistValue::string(deviceName)}})
            .write(folder + "/Info.plist", PlistFormat::Xml);
        writer.addManifestDbFile("AppDomain-com.example.away", "Documents/far.txt", "far");
        return folder;
    }

    void openThroughThePanel(const std::string& folder) {
        panels.folderAnswers = {folder};
        window->findChild<QAction*>("openBackupFolderAction")->trigger();
    }

    void drop(const std::vector<std::string>& folders) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& folder : folders)
            urls << QUrl::fromLocalFile(QString::fromStdString(folder));
        data.setUrls(urls);
        const QPoint where = window->rect().center();
        QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(where, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &dropped);
    }

    QString statusMessage() const { return window->statusBar()->currentMessage(); }

    TemporaryFolder drive;
};

TEST_F(OpenBackup, AFolderOpenedThroughThePanelIsListedAfterTheFoundOnesAndChosen) {
    addAlice();
    openWindow();
    const std::string zoe = addOutsideBackup("zoe", "Zoe");
    openThroughThePanel(zoe);
    EXPECT_EQ(panels.folderStarts, std::vector<std::string>{home.path()});
    EXPECT_EQ(cells(deviceTable()), (QStringList{"Alice", "Zoe"}));
    ASSERT_TRUE(controller().selectedDevice());
    EXPECT_EQ(controller().selectedDevice()->directory, zoe);
    EXPECT_EQ(applicationTable().model()->rowCount(), 1);
}

TEST_F(OpenBackup, ADroppedFolderOfBackupsAddsEachAndAnotherFolderIsToldInTheStatusBar) {
    openWindow();
    addOutsideBackup("one", "One");
    addOutsideBackup("two", "Two");
    TemporaryFolder empty;
    drop({drive.path(), empty.path()});
    EXPECT_EQ(cells(deviceTable()), (QStringList{"One", "Two"}));
    EXPECT_EQ(statusMessage(), QString::fromStdString(empty.path() + " holds no backup."));
}

TEST_F(OpenBackup, FoldersNamedOnTheCommandLineAreMadeAbsolute) {
    EXPECT_EQ(foldersToOpen({"salvora", "/media/drive/Backup", "."}),
              (std::vector<std::string>{"/media/drive/Backup", QDir::currentPath().toStdString()}));
}

TEST_F(OpenBackup, OpenedFoldersAreListedAgainAtTheNextStartUntilRemoved) {
    addAlice();
    openWindow();
    const std::string zoe = addOutsideBackup("zoe", "Zoe");
    controller().openBackupFolders({zoe});
    openWindow();
    EXPECT_EQ(cells(deviceTable()), (QStringList{"Alice", "Zoe"}));

    auto* remove = window->findChild<QAction*>("removeBackupFolderAction");
    ASSERT_TRUE(deviceTable().actions().contains(remove));
    click(deviceTable(), 0);
    EXPECT_FALSE(remove->isEnabled());
    click(deviceTable(), 1);
    ASSERT_TRUE(remove->isEnabled());
    remove->trigger();
    EXPECT_EQ(cells(deviceTable()), QStringList{"Alice"});
    openWindow();
    EXPECT_EQ(cells(deviceTable()), QStringList{"Alice"});
}

}  // namespace
}  // namespace salvora::test
