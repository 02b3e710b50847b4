// Long saves run off the event thread behind their dialog, and Cancel stops them after the
// file being saved.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <filesystem>
#include <thread>

#include "foundation/Log.h"
#include "support/TemporaryFolder.h"
#include "window/LongSave.h"
#include "window/LongSaveWatcher.h"
#include "support/WindowTest.h"

namespace salvora::test {

void pressCancel(LongSaveDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>("longSaveCancelButton"), Qt::LeftButton);
}

namespace {

QString labelText(const LongSaveDialog& dialog, const char* name) {
    return dialog.findChild<QLabel*>(name)->text();
}

std::vector<std::string> everyFileBelow(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (!entry.is_directory())
            files.push_back(std::filesystem::relative(entry.path(), folder).string());
    return files;
}

TEST(LongSave, TheEventThreadKeepsHandlingEventsWhileTheJobRuns) {
    QWidget parent;
    parent.show();
    std::atomic<bool> timerFired = false;
    LongSaveWatcher watcher;
    const bool cancelled = runLongSave(&parent, "Saving", [&](const SaveProgress& progress) {
        QTimer::singleShot(0, &parent, [&] { timerFired = true; });
        progress(SaveStatus{0, 1, 0, 0, "a"});
        // Only the event thread can fire the timer.
        while (!timerFired) std::this_thread::yield();
        progress(SaveStatus{1, 1, 0, 0, {}});
    });
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(watcher.dialogsShown, 1);
}

TEST(LongSave, TheDialogShowsFilesAndBytesAndCancelStopsAfterTheFileBeingSaved) {
    QWidget parent;
    parent.show();
    LongSaveWatcher watcher;
    std::vector<QString> shown;
    watcher.onStatus = [&](LongSaveDialog& dialog, const SaveStatus& status) {
        shown.push_back(labelText(dialog, "longSaveCountLabel") + " | " +
                        labelText(dialog, "longSaveCurrentLabel"));
        if (status.filesDone == 0) pressCancel(dialog);
    };
    std::vector<bool> answers;
    const bool cancelled = runLongSave(&parent, "Saving", [&](const SaveProgress& progress) {
        answers.push_back(progress(SaveStatus{0, 3, 0, 3000, "Documents/first"}));
        answers.push_back(progress(SaveStatus{1, 3, 1000, 3000, "Documents/second"}));
    });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(answers, (std::vector<bool>{true, false}));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "0 of 3 files, 0 bytes of 2.93 KiB | Documents/first");
}

class LongSaveInWindow : public WindowTest {
  protected:
    TemporaryFolder out;
    LogCapture quiet;
};

TEST_F(LongSaveInWindow, SaveAllCancelledLeavesTheFileBeingSavedWholeAndNothingElse) {
    addAlice();
    openWindow();
    choose(0, 1);
    panels.folderAnswers = {out.path()};
    LongSaveWatcher watcher;
    watcher.onStatus = [](LongSaveDialog& dialog, const SaveStatus& status) {
        if (status.filesDone == 0) pressCancel(dialog);
    };

    window->findChild<QAction*>("saveAllFilesAction")->trigger();
    EXPECT_EQ(everyFileBelow(out.path()), std::vector<std::string>{"Documents/a.txt"});
    EXPECT_EQ(readText(out / "Documents/a.txt"), "alpha");
    EXPECT_EQ(window->statusBar()->currentMessage(),
              QString::fromStdString("Cancelled after 1 of 2 files. Saved 1 file to " + out.path() +
                                     "."));
}

}  // namespace
}  // namespace salvora::test
