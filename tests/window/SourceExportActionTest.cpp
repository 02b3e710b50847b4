// File → Export → Messages…, WhatsApp Chats…, Contacts…, Call History… and Calendars…
// offscreen, each on a backup holding its database: offered only there, exporting into the
// chosen folder behind the progress dialog, the outcome in the status bar, nothing left on
// Cancel, and a finished export's page (index.html, calls.html) offered to the browser.
#include <QAction>
#include <QStatusBar>
#include <QUrl>

#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "support/SourceDatabases.h"
#include "support/TemporaryFolder.h"
#include "support/WindowTest.h"
#include "window/LongSaveWatcher.h"

namespace salvora::test {
namespace {

struct Source {
    const char* name;
    const char* action;
    void (*write)(BackupWriter& backup);
    std::vector<std::string> written;  // some of the files the export writes
    const char* outcome;               // how the status bar's sentence starts
    const char* page;                  // the page offered to the browser, if any
};

void PrintTo(const Source& source, std::ostream* out) { *out << source.name; }

class SourceExportAction : public WindowTest, public ::testing::WithParamInterface<Source> {
  protected:
    // Alice holds none of the databases; Carol, the second device, the one exported.
    void openOnCarol() {
        addAlice();
        BackupWriter carol = addBackup("c", "Carol");
        GetParam().write(carol);
        openWindow();
        EXPECT_FALSE(exportAction().isEnabled());
        choose(0);
        EXPECT_FALSE(exportAction().isEnabled());
        choose(1);
        ASSERT_TRUE(exportAction().isEnabled());
    }

    QAction& exportAction() { return fileMenuAction(GetParam().action); }

    std::string status() const { return window->statusBar()->currentMessage().toStdString(); }

    TemporaryFolder out;
    LogCapture quiet;
};

TEST_P(SourceExportAction, ExportsIntoTheChosenFolderAndOffersItsPageToTheBrowser) {
    openOnCarol();
    panels.folderAnswers = {out.path(), out.path()};
    panels.yesOrNoAnswers = {true, false};
    exportAction().trigger();
    for (const std::string& file : GetParam().written)
        EXPECT_TRUE(isRegularFile(out / file)) << file;
    EXPECT_TRUE(status().starts_with(GetParam().outcome)) << status();
    EXPECT_TRUE(status().ends_with(" to " + out.path() + ".")) << status();
    const bool offers = GetParam().page != nullptr;
    const std::vector<QUrl> opened =
        offers ? std::vector{QUrl::fromLocalFile(QString::fromStdString(out / GetParam().page))}
               : std::vector<QUrl>{};
    if (offers) {
        ASSERT_EQ(panels.questions.size(), 1u);
        EXPECT_NE(panels.questions[0].find(out.path()), std::string::npos) << panels.questions[0];
        EXPECT_EQ(panels.openedUrls, opened);
    }

    // Again into the same folder, which the export replaces; No opens nothing.
    exportAction().trigger();
    EXPECT_TRUE(status().starts_with(GetParam().outcome)) << status();
    for (const std::string& file : GetParam().written)
        EXPECT_TRUE(isRegularFile(out / file)) << file;
    EXPECT_EQ(panels.questions.size(), offers ? 2u : 0u);
    EXPECT_EQ(panels.openedUrls, opened);
}

TEST_P(SourceExportAction, CancelLeavesTheFolderWithoutAHalfWrittenExport) {
    openOnCarol();
    panels.folderAnswers = {out.path()};
    panels.yesOrNoAnswers = {true};
    LongSaveWatcher watcher;
    watcher.onStatus = [](LongSaveDialog& dialog, const SaveStatus& status) {
        if (status.filesDone == 0) pressCancel(dialog);
    };
    exportAction().trigger();
    EXPECT_EQ(watcher.dialogsShown, 1);
    EXPECT_EQ(directoryContents(out.path()), std::vector<std::string>{});
    EXPECT_TRUE(status().starts_with("Cancelled after")) << status();
    EXPECT_TRUE(panels.questions.empty());
    EXPECT_TRUE(panels.openedUrls.empty());
}

INSTANTIATE_TEST_SUITE_P(Sources, SourceExportAction,
                         ::testing::Values(Source{"Messages",
                                                  "exportMessagesAction",
                                                  &writeSms,
                                                  {"index.html", "messages.json"},
                                                  "Exported 3 conversations",
                                                  "index.html"},
                                           Source{"WhatsApp",
                                                  "exportWhatsAppAction",
                                                  &writeChats,
                                                  {"index.html", "whatsapp.json"},
                                                  "Exported 4 conversations",
                                                  "index.html"},
                                           Source{"Contacts",
                                                  "exportContactsAction",
                                                  &writeContacts,
                                                  {"contacts.vcf", "contacts.csv"},
                                                  "Exported 4 contacts",
                                                  nullptr},
                                           Source{"Calls",
                                                  "exportCallsAction",
                                                  &writeCalls,
                                                  {"calls.csv", "calls.html"},
                                                  "Exported 5 calls",
                                                  "calls.html"},
                                           Source{"Calendars",
                                                  "exportCalendarsAction",
                                                  &writeCalendars,
                                                  {"Home.ics"},
                                                  "Exported 2 calendars",
                                                  nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace salvora::test
