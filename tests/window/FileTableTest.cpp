// The file table as users work it: columns, sorting, the filter, every application at once,
// a multiple selection saved, and the shortcuts to the saves.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <array>

#include "foundation/DateText.h"
#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "support/ManifestDbWriter.h"
#include "support/TemporaryFolder.h"
#include "support/WindowTest.h"

namespace salvora::test {
namespace {

class FileTable : public WindowTest {
  protected:
    // "Kim": a Manifest.db backup, whose catalogue records sizes and times; the journal's
    // files are chosen.
    void openKim() {
        BackupWriter kim = addBackup("k", "Kim");
        kim.addManifestDbFile("AppDomain-com.example.journal", "Documents/2023/January.md",
                              "# January!", 1'675'000'000);
        kim.addManifestDbFile("AppDomain-com.example.journal", "Documents/2023/February.md",
                              "# Feb", 1'677'000'000);
        kim.addManifestDbFile("AppDomain-com.example.journal", "Library/notes.txt", "notes.",
                              1'676'000'000);
        kim.addManifestDbFile("AppDomain-com.example.sketch", "Documents/cat.sketch", "lines",
                              1'674'000'000);
        openWindow();
        choose(0, 0);
    }

    QLineEdit& filterField() { return *window->findChild<QLineEdit*>("fileFilterField"); }
    QAction& action(const char* name) { return *window->findChild<QAction*>(name); }
    void clickHeader(int column) {
        QHeaderView& header = *fileTable().horizontalHeader();
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                          QPoint(header.sectionViewportPosition(column) + 5, header.height() / 2));
    }

    TemporaryFolder out;
    LogCapture quiet;
};

const QStringList journalInOrder{"Documents/2023/January.md", "Documents/2023/February.md",
                                 "Library/notes.txt"};

TEST_F(FileTable, ShowsPathSizeAndTimeInTheBackupsOrderAndSortsByAnyColumn) {
    openKim();
    EXPECT_EQ(cells(fileTable(), 0), journalInOrder);
    EXPECT_EQ(cells(fileTable(), 1), (QStringList{"10 bytes", "5 bytes", "6 bytes"}));
    // The time the backup records, as the device table writes dates.
    EXPECT_EQ(
        cells(fileTable(), 2)[0],
        QString::fromStdString(dateText(std::chrono::system_clock::from_time_t(1'675'000'000))));

    clickHeader(1);
    EXPECT_EQ(cells(fileTable(), 1), (QStringList{"5 bytes", "6 bytes", "10 bytes"}));
    clickHeader(1);
    EXPECT_EQ(cells(fileTable(), 1), (QStringList{"10 bytes", "6 bytes", "5 bytes"}));
    clickHeader(2);
    EXPECT_EQ(cells(fileTable(), 0), (QStringList{"Documents/2023/January.md", "Library/notes.txt",
                                                  "Documents/2023/February.md"}));
    clickHeader(0);
    EXPECT_EQ(cells(fileTable(), 0),
              (QStringList{"Documents/2023/February.md", "Documents/2023/January.md",
                           "Library/notes.txt"}));
}

TEST_F(FileTable, ALongPathIsCutInTheMiddleSoItsNameStaysAndItsTooltipIsWhole) {
    openKim();
    EXPECT_EQ(fileTable().textElideMode(), Qt::ElideMiddle);
    const QModelIndex first = fileTable().model()->index(0, 0);
    EXPECT_EQ(first.data(Qt::ToolTipRole).toString(), journalInOrder[0]);
}

TEST_F(FileTable, TheFilterNarrowsOnAnyPartOfThePathIgnoringCaseAndAChoiceIsTheFileShown) {
    openKim();
    clickHeader(1);
    QTest::keyClicks(&filterField(), "2023/");
    EXPECT_EQ(cells(fileTable()),
              (QStringList{"Documents/2023/February.md", "Documents/2023/January.md"}));
    QTest::keyClicks(&filterField(), "F");
    EXPECT_EQ(cells(fileTable()), QStringList{"Documents/2023/February.md"});
    click(fileTable(), 0);
    ASSERT_TRUE(controller().selectedFile());
    EXPECT_EQ(controller().selectedFile()->fullpath(), "Documents/2023/February.md");

    // Widening the filter again keeps the chosen row selected.
    filterField().clear();
    EXPECT_EQ(cells(fileTable()).size(), 3);
    ASSERT_EQ(fileTable().selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(fileTable().selectionModel()->selectedRows()[0].data().toString(),
              "Documents/2023/February.md");
}

TEST_F(FileTable, CtrlFFocusesTheFilter) {
    openKim();
    fileTable().setFocus();
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(filterField().hasFocus());
}

TEST_F(FileTable, WidenedItListsEveryApplicationWithItsOwnColumn) {
    openKim();
    EXPECT_TRUE(fileTable().isColumnHidden(3));
    window->findChild<QCheckBox*>("everyApplicationCheckBox")->click();
    EXPECT_FALSE(fileTable().isColumnHidden(3));
    EXPECT_EQ(cells(fileTable(), 0), journalInOrder + QStringList{"Documents/cat.sketch"});
    EXPECT_EQ(cells(fileTable(), 3).last(), cells(applicationTable()).last());
    QTest::keyClicks(&filterField(), "cat");
    click(fileTable(), 0);
    panels.savePathAnswers = {out / "cat.sketch"};
    action("saveFileAction").trigger();
    EXPECT_EQ(readText(out / "cat.sketch"), "lines");
}

TEST_F(FileTable, SelectedFilesAreSavedInTheirFolders) {
    openKim();
    click(fileTable(), 0);
    const QModelIndex third = fileTable().model()->index(2, 0);
    QTest::mouseClick(fileTable().viewport(), Qt::LeftButton, Qt::ControlModifier,
                      fileTable().visualRect(third).center());
    panels.folderAnswers = {out.path()};

    action("saveSelectedFilesAction").trigger();
    EXPECT_EQ(readText(out / "Documents/2023/January.md"), "# January!");
    EXPECT_EQ(readText(out / "Library/notes.txt"), "notes.");
    EXPECT_FALSE(fileExists(out / "Documents/2023/February.md"));
    EXPECT_EQ(window->statusBar()->currentMessage(),
              QString::fromStdString("Saved 2 files to " + out.path() + "."));
}

TEST_F(FileTable, DoubleClickAndEnterSaveTheFileAndTheContextMenuOffersSavesAndCopyPath) {
    openKim();
    const QRect second = fileTable().visualRect(fileTable().model()->index(1, 0));
    panels.savePathAnswers = {out / "one.md", out / "two.md"};
    QTest::mouseClick(fileTable().viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(fileTable().viewport(), Qt::LeftButton, {}, second.center());
    QTest::keyClick(&fileTable(), Qt::Key_Return);
    EXPECT_EQ(panels.proposedNames, (std::vector<std::string>{"February.md", "February.md"}));
    EXPECT_EQ(readText(out / "two.md"), "# Feb");

    QStringList offered;
    for (const QAction* each : fileTable().actions())
        offered << (each->isSeparator() ? "-" : each->objectName());
    EXPECT_EQ(offered, (QStringList{"saveFileAction", "saveSelectedFilesAction",
                                    "saveAllFilesAction", "-", "copyPathAction"}));
    action("copyPathAction").trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Documents/2023/February.md");
}

// An application of 200,000 files, every thousandth holding "needle" in some letter case at
// the start, in the middle or at the end of its path. Typed a key at a time, then widened by
// two keys, the filter keeps exactly the paths that hold its text, case ignored.
class FilterOnManyRows : public WindowTest, public ::testing::WithParamInterface<QString> {
  protected:
    void expectKeptFor(const QString& text) {
        const QStringList shown = cells(fileTable());
        EXPECT_EQ(shown.size(), paths.filter(text, Qt::CaseInsensitive).size())
            << text.toStdString();
        EXPECT_EQ(shown.filter(text, Qt::CaseInsensitive), shown);
    }
    QStringList paths;
};

TEST_P(FilterOnManyRows, KeepsExactlyThePathsHoldingTheTextCaseIgnored) {
    const std::array<QString, 4> heads{"Library/Caches/", "NEEDLE/", "Library/nEeDlE-", "Media/"};
    std::vector<ManifestDbRow> rows;
    for (int at = 0; at < 200'000; ++at) {
        const int shape = at % 1000 != 0 ? 0 : 1 + at / 1000 % 3;
        paths << heads[static_cast<std::size_t>(shape)] + QString::number(at) +
                     (shape == 3 ? ".Needle" : ".dat");
        rows.push_back({"f" + std::to_string(at), "AppDomain-com.example.big",
                        paths.back().toStdString(), manifestDbFileFlags, std::nullopt});
    }
    appendManifestDbRows(addBackup("k", "Kim") / "Manifest.db", rows);
    openWindow();
    choose(0, 0);
    QLineEdit& field = *window->findChild<QLineEdit*>("fileFilterField");
    QTest::keyClicks(&field, GetParam());
    expectKeptFor(GetParam());
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClick(&field, Qt::Key_Backspace);
    expectKeptFor(GetParam().chopped(2));
}

INSTANTIATE_TEST_SUITE_P(AnyPartOfThePath, FilterOnManyRows,
                         ::testing::Values("needle", "NEEDLE/1", "cACHES/19999", "9.needle"));

}  // namespace
}  // namespace salvora::test
