// The two save actions through scripted panels: what they write, log and tell the user, and
// that they change nothing in the window.
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "support/TemporaryFolder.h"
#include "support/WindowSnapshot.h"
#include "support/WindowTest.h"
#include "window/LongSaveWatcher.h"

namespace salvora::test {
namespace {

class SaveActions : public WindowTest {
  protected:
    // Alice's notes, and the file at `file` of it chosen when given.
    void chooseNotes(std::optional<int> file) {
        addAlice();
        openWindow();
        choose(0, 1, file);
    }

    void pressSaveFile() { QTest::mouseClick(controller().saveFileButton, Qt::LeftButton); }
    // The save-all button stays hidden; the File menu offers the command.
    void chooseSaveAllFromTheMenu() {
        window->findChild<QAction*>("saveAllFilesAction")->trigger();
    }

    QString statusMessage() const { return window->statusBar()->currentMessage(); }

    std::vector<std::string> contentsOf(const TemporaryFolder& folder) const {
        return directoryContents(folder.path()).value_or(std::vector<std::string>{"(unlisted)"});
    }

    TemporaryFolder out;
    LogCapture quiet;  // tests that count log lines capture their own
};

TEST_F(SaveActions, SaveFileProposesTheLastComponentAndCopiesTheStoredFileBehindTheDialog) {
    chooseNotes(1);
    panels.savePathAnswers = {out / "saved.plist"};
    const std::string before = snapshotOf(controller());
    LogCapture log;
    LongSaveWatcher watcher;

    pressSaveFile();
    EXPECT_EQ(watcher.dialogsShown, 1);
    EXPECT_EQ(panels.proposedNames, std::vector<std::string>{"com.example.notes.plist"});
    EXPECT_EQ(readText(out / "saved.plist"), "prefs");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"(null)"});
    EXPECT_EQ(statusMessage(), QString::fromStdString("Saved to " + out / "saved.plist" + "."));
    EXPECT_EQ(snapshotOf(controller()), before);
}

TEST_F(SaveActions, PortableNamesSaveUnderASafeNameListedBehindTheStatusBar) {
    chooseNotes(0);
    auto* portable = window->findChild<QAction*>("portableNamesAction");
    portable->setChecked(true);
    panels.savePathAnswers = {out / "what?.txt"};
    pressSaveFile();
    portable->setChecked(false);
    EXPECT_EQ(readText(out / "what？.txt"), "alpha");
    auto* renamed = window->findChild<QPushButton*>("renamedFilesButton");
    ASSERT_TRUE(renamed && renamed->isVisible());
    EXPECT_EQ(renamed->text(), "1 Renamed…");
    QTest::mouseClick(renamed, Qt::LeftButton);
    auto* list = window->findChild<QListWidget*>("renamedFilesList");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->item(0)->text(),
              QString::fromStdString(out / "what?.txt" + "  →  " + out / "what？.txt"));
    list->window()->close();
}

TEST_F(SaveActions, SaveFileCancelledSavesTheFileWholeForItCantBeCutShort) {
    chooseNotes(0);
    panels.savePathAnswers = {out / "a.txt"};
    LongSaveWatcher watcher;
    watcher.onStatus = [](LongSaveDialog& dialog, const SaveStatus&) { pressCancel(dialog); };

    pressSaveFile();
    EXPECT_EQ(contentsOf(out), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(readText(out / "a.txt"), "alpha");
}

TEST_F(SaveActions, SaveFileWritesTheDataOfAnMdbackupList) {
    addBob();
    openWindow();
    choose(0, 1, 0);
    panels.savePathAnswers = {out / "photo.jpg"};

    pressSaveFile();
    EXPECT_EQ(panels.proposedNames, std::vector<std::string>{"IMG_0001.JPG"});
    EXPECT_EQ(readText(out / "photo.jpg"), "jpeg");
}

TEST_F(SaveActions, CancellingTheSavePanelWritesAndLogsNothing) {
    chooseNotes(0);
    panels.savePathAnswers = {std::nullopt};
    const std::string before = snapshotOf(controller());
    LogCapture log;

    pressSaveFile();
    EXPECT_EQ(panels.proposedNames, std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(contentsOf(out).empty());
    EXPECT_TRUE(log.lines().empty());
    EXPECT_TRUE(statusMessage().isEmpty());
    EXPECT_EQ(snapshotOf(controller()), before);
}

TEST_F(SaveActions, SaveFileOntoAnExistingFileKeepsItAndSaysWhy) {
    chooseNotes(0);
    writeFile(out / "a.txt", "mine");
    panels.savePathAnswers = {out / "a.txt"};
    LogCapture log;

    pressSaveFile();
    EXPECT_EQ(readText(out / "a.txt"), "mine");
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0], "(null)");
    EXPECT_TRUE(statusMessage().startsWith("Not saved: ")) << statusMessage().toStdString();
}

TEST_F(SaveActions, TheFileMenuSavesTheChosenFileToo) {
    chooseNotes(0);
    panels.savePathAnswers = {out / "a.txt"};
    window->findChild<QAction*>("saveFileAction")->trigger();
    EXPECT_EQ(readText(out / "a.txt"), "alpha");
}

TEST_F(SaveActions, SaveAllStartsInTheHomeFolderAndSavesEveryFileAtItsPath) {
    chooseNotes(std::nullopt);
    panels.folderAnswers = {out.path()};
    const std::string before = snapshotOf(controller());
    LogCapture log;

    chooseSaveAllFromTheMenu();
    EXPECT_EQ(panels.folderStarts, std::vector<std::string>{home.path()});
    EXPECT_EQ(readText(out / "Documents/a.txt"), "alpha");
    EXPECT_EQ(readText(out / "Library/Preferences/com.example.notes.plist"), "prefs");
    EXPECT_EQ(log.lines(), std::vector<std::string>(4, "(null)"));
    EXPECT_EQ(statusMessage(), QString::fromStdString("Saved 2 files to " + out.path() + "."));
    EXPECT_EQ(snapshotOf(controller()), before);
}

TEST_F(SaveActions, CancellingTheFolderPanelCreatesAndLogsNothing) {
    chooseNotes(1);
    panels.folderAnswers = {std::nullopt};
    const std::string before = snapshotOf(controller());
    LogCapture log;

    chooseSaveAllFromTheMenu();
    EXPECT_EQ(panels.folderStarts.size(), 1u);
    EXPECT_TRUE(contentsOf(out).empty());
    EXPECT_TRUE(log.lines().empty());
    EXPECT_TRUE(statusMessage().isEmpty());
    EXPECT_EQ(snapshotOf(controller()), before);
}

TEST_F(SaveActions, SaveAllCountsTheFailuresAndNamesTheFirst) {
    chooseNotes(std::nullopt);
    writeFile(out / "Documents/a.txt", "mine");
    panels.folderAnswers = {out.path()};

    chooseSaveAllFromTheMenu();
    EXPECT_EQ(readText(out / "Documents/a.txt"), "mine");
    EXPECT_EQ(readText(out / "Library/Preferences/com.example.notes.plist"), "prefs");
    const std::string message = statusMessage().toStdString();
    EXPECT_EQ(message.rfind("Saved 1 of 2 files to " + out.path() + "; 1 failed. First: ", 0), 0u)
        << message;
    EXPECT_NE(message.find("Documents/a.txt"), std::string::npos) << message;
}

}  // namespace
}  // namespace salvora::test
