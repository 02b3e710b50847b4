// The chosen backup at a glance in the preview pane, offscreen: the device's facts, the counts
// as they are read, a button that runs its export, and the file's preview in its place while a
// file is chosen.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "support/AddressBookWriter.h"
#include "support/SmsDatabaseWriter.h"
#include "support/WindowTest.h"
#include "window/Controls.h"

namespace salvora::test {
namespace {

class BackupSummaryPane : public WindowTest {
  protected:
    template <typename Widget>
    Widget& part(const char* name) {
        auto* found = window->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    QWidget* currentPage() { return part<QStackedWidget>("previewPages").currentWidget(); }
};

TEST_F(BackupSummaryPane, ShowsTheChosenBackupItsCountsAsReadAndRunsAnExportFromIt) {
    addAlice();
    BackupWriter carol = addBackup("c", "Carol");
    writeMessages(
        SmsGeneration::AttributedBodies, JournalMode::WalWithLog,
        [&](const std::string& domain, const std::string& path, const std::string& contents,
            std::uint32_t modified) { carol.addManifestDbFile(domain, path, contents, modified); });
    writeAddressBook(JournalMode::Rollback,
                     [&](const std::string& path, const std::string& contents) {
                         carol.addManifestDbFile("HomeDomain", path, contents);
                     });
    openWindow();
    choose(1);
    EXPECT_EQ(currentPage()->objectName(), "backupSummaryPage");
    EXPECT_EQ(part<QLabel>("summaryDevice").text(), "Carol");
    QTRY_COMPARE(part<QLabel>("summaryModel").text(), QString("iPhone1,2"));
    EXPECT_EQ(part<QLabel>("summaryModel").accessibleName(), "Model: iPhone1,2");
    EXPECT_EQ(part<QLabel>("summaryEncrypted").text(), "no");
    EXPECT_EQ(part<QLabel>("summaryFiles").text(), "5");
    QTRY_COMPARE(part<QLabel>("messagesCount").text(), QString("3 conversations, 12 messages"));
    QTRY_COMPARE(part<QLabel>("contactsCount").text(), QString("4 contacts"));
    QTRY_VERIFY(part<QLabel>("summarySize").text() != "Reading…");
    EXPECT_FALSE(part<QPushButton>("photosExportButton").isVisibleTo(window.get()));
    QPushButton& exportMessages = part<QPushButton>("messagesExportButton");
    EXPECT_EQ(exportMessages.accessibleName(), "Export Messages");
    ASSERT_TRUE(exportMessages.isEnabled());
    // The button runs File → Export → Messages, which asks for a folder first.
    panels.folderAnswers = {std::nullopt};
    QTest::mouseClick(&exportMessages, Qt::LeftButton);
    EXPECT_EQ(panels.folderStarts.size(), 1u);

    // A file's preview takes the pane; choosing no file brings the summary back.
    choose(1, 0, 0);
    EXPECT_NE(currentPage()->objectName(), "backupSummaryPage");
    deselectAll(fileTable());
    EXPECT_EQ(currentPage()->objectName(), "backupSummaryPage");

    // Another device: its own summary, nothing left of the one before.
    choose(0);
    EXPECT_EQ(part<QLabel>("summaryDevice").text(), "Alice");
    QTRY_COMPARE(part<QLabel>("messagesCount").text(), QString("not in this backup"));
    EXPECT_FALSE(part<QPushButton>("messagesExportButton").isVisibleTo(window.get()));
}

}  // namespace
}  // namespace salvora::test
