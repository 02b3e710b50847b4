// The preview pane: each kind of file shown as it is, read as a save reads it, nothing written.
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "catalog/Catalog.h"
#include "foundation/Log.h"
#include "recovery/FileStart.h"
#include "support/CallHistoryWriter.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/ManifestDbWriter.h"
#include "support/PlistValue.h"
#include "support/SourceDatabases.h"
#include "support/TemporaryFolder.h"
#include "support/WalDatabase.h"
#include "support/WindowTest.h"
#include "window/PreviewLoader.h"

namespace salvora::test {
namespace {

std::string pngBytes() {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::string plistBytes() {
    TemporaryFolder folder;
    PlistValue::dictionary({{"answer", PlistValue::integer(42)}})
        .write(folder / "p.plist", PlistFormat::Binary);
    return readText(folder / "p.plist");
}

std::string databaseBytes() {
    TemporaryFolder folder;
    runSql(folder / "d.sqlite",
           "CREATE TABLE message (text); INSERT INTO message VALUES ('a'), ('b');"
           "CREATE TABLE handle (id);");
    return readText(folder / "d.sqlite");
}

struct Kind {
    const char* name;
    std::string contents;
    const char* page;
    const char* summaryStart;
    const char* shown;  // in the text view, or the first table's name and rows
};

void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }

class PreviewTest : public WindowTest {
  protected:
    template <typename Widget>
    Widget& part(const char* name) {
        return *window->findChild<Widget*>(name);
    }
    LogCapture quiet;
};

class PreviewOfEachKind : public PreviewTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(PreviewOfEachKind, IsShownWithoutChangingTheBackup) {
    const Kind& kind = GetParam();
    const std::string folder = home.addBackup(BackupRoot::Primary, "k", "Kim");
    BackupWriter(folder).addManifestDbFile("AppDomain-com.example.files",
                                           std::string("Documents/") + kind.name, kind.contents);
    const auto before = folderSnapshot(folder);
    openWindow();
    choose(0, 0, 0);

    // Read off the event thread, the file is shown once its answer comes.
    EXPECT_EQ(part<QLabel>("previewSummary").text(), "Loading…");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return part<QLabel>("previewSummary").text() != "Loading…"; }));
    EXPECT_EQ(part<QStackedWidget>("previewPages").currentWidget()->objectName(), kind.page);
    EXPECT_TRUE(part<QLabel>("previewSummary").text().startsWith(kind.summaryStart))
        << part<QLabel>("previewSummary").text().toStdString();
    if (QString(kind.page) == "previewTables") {
        const QTableWidget& tables = part<QTableWidget>("previewTables");
        ASSERT_EQ(tables.rowCount(), 2);
        EXPECT_EQ(tables.item(1, 0)->text() + " " + tables.item(1, 1)->text(), kind.shown);
    } else if (QString(kind.page) == "previewText") {
        EXPECT_TRUE(part<QPlainTextEdit>("previewText").toPlainText().contains(kind.shown))
            << part<QPlainTextEdit>("previewText").toPlainText().left(200).toStdString();
    }
    EXPECT_EQ(folderSnapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PreviewOfEachKind,
    ::testing::Values(
        Kind{"red.png", pngBytes(), "previewImage", "Image, 3 × 2", ""},
        Kind{"notes.txt", "Shopping: milk", "previewText", "Text, 14 bytes", "Shopping: milk"},
        Kind{"prefs.plist", plistBytes(), "previewText", "Property list", "<key>answer</key>"},
        Kind{"sms.db", databaseBytes(), "previewTables", "SQLite database", "message 2"},
        Kind{"blob", std::string("\x00\x01zz", 4), "previewText", "4 bytes; its first",
             "00000000  00 01 7a 7a"}),
    [](const auto& info) {
        return std::string(info.param.page).substr(7) + std::to_string(info.index);
    });

// A database as phones leave it, WAL mode with its newest rows only in its "-wal": the
// preview counts them, and neither the backup nor its -wal changes.
TEST_F(PreviewTest, AWalModeDatabaseShowsItsTablesWithTheLogApplied) {
    const DatabaseFiles files = databaseFiles(
        JournalMode::WalWithLog, "CREATE TABLE handle (id); CREATE TABLE message (text);",
        "INSERT INTO message VALUES ('a'), ('b'), ('c');");
    const std::string folder = home.addBackup(BackupRoot::Primary, "k", "Kim");
    BackupWriter backup(folder);
    backup.addManifestDbFile("AppDomain-com.example.chat", "Documents/chat.db-wal", *files.wal);
    backup.addManifestDbFile("AppDomain-com.example.chat", "Documents/chat.db", files.main);
    const auto before = folderSnapshot(folder);
    openWindow();
    choose(0, 0);
    choose(0, 0, static_cast<int>(cells(fileTable()).indexOf("Documents/chat.db")));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return part<QLabel>("previewSummary").text() != "Loading…"; }));
    EXPECT_TRUE(part<QLabel>("previewSummary").text().startsWith("SQLite database"));
    const QTableWidget& tables = part<QTableWidget>("previewTables");
    ASSERT_EQ(tables.rowCount(), 2);
    EXPECT_EQ(tables.item(1, 0)->text() + " " + tables.item(1, 1)->text(), "message 3");
    EXPECT_EQ(folderSnapshot(folder), before);
}

// The call history shows its calls, newest first, those only in the "-wal" among them.
TEST_F(PreviewTest, TheCallHistoryShowsItsCalls) {
    const std::string folder = home.addBackup(BackupRoot::Primary, "k", "Kim");
    BackupWriter backup(folder);
    writeCallHistoryStore(JournalMode::WalWithLog,
                          [&](const std::string& path, const std::string& contents) {
                              backup.addManifestDbFile("HomeDomain", path, contents);
                          });
    openWindow();
    choose(0, 0);
    choose(0, 0,
           static_cast<int>(
               cells(fileTable()).indexOf("Library/CallHistoryDB/CallHistory.storedata")));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return part<QLabel>("previewSummary").text() != "Loading…"; }));
    EXPECT_TRUE(part<QLabel>("previewSummary").text().startsWith("Call history"));
    const QStringList lines = part<QPlainTextEdit>("previewText").toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "2024-07-03 12:46 +02:00  ·  +49 221 555000  ·  incoming  ·  0:01:00");
    EXPECT_EQ(lines[2], "2024-03-01 13:00 +01:00  ·  <b>Bob & \"Co\"</b>  ·  incoming  ·  0:00:00");
}

struct ConversationDatabase {
    const char* name;
    const char* path;
    const char* summaryStart;
    QStringList rows;  // "title | messages", newest first
};

void PrintTo(const ConversationDatabase& database, std::ostream* out) { *out << database.name; }

class ConversationPreview : public PreviewTest,
                            public ::testing::WithParamInterface<ConversationDatabase> {};

// Messages' and WhatsApp's databases are shown as their conversations, named by the backup's
// address book as their exports name them, the newest rows from the "-wal" counted.
TEST_P(ConversationPreview, ListsTheConversationsNewestFirstInsteadOfTheTables) {
    const std::string folder = home.addBackup(BackupRoot::Primary, "k", "Kim");
    BackupWriter kim(folder);
    writeSms(kim);
    writeChats(kim);
    writeContacts(kim);
    const auto before = folderSnapshot(folder);
    openWindow();
    choose(0);
    for (int application = 0; application < applicationTable().model()->rowCount(); ++application) {
        choose(0, application);
        const auto file = cells(fileTable()).indexOf(GetParam().path);
        if (file < 0) continue;
        choose(0, application, static_cast<int>(file));
        break;
    }
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return part<QLabel>("previewSummary").text() != "Loading…"; }));
    EXPECT_EQ(part<QStackedWidget>("previewPages").currentWidget()->objectName(),
              "previewConversations");
    EXPECT_TRUE(part<QLabel>("previewSummary").text().startsWith(GetParam().summaryStart))
        << part<QLabel>("previewSummary").text().toStdString();
    const QTableWidget& conversations = part<QTableWidget>("previewConversations");
    QStringList rows;
    for (int row = 0; row < conversations.rowCount(); ++row) {
        rows << conversations.item(row, 0)->text() + " | " + conversations.item(row, 1)->text();
        EXPECT_FALSE(conversations.item(row, 2)->text().isEmpty());
    }
    EXPECT_EQ(rows, GetParam().rows);
    EXPECT_EQ(folderSnapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(
    Databases, ConversationPreview,
    ::testing::Values(
        ConversationDatabase{"Messages",
                             "Library/SMS/sms.db",
                             "Messages, ",
                             {"Ada King Lovelace | 7", "+15550001111 | 1", "Trip | 4"}},
        ConversationDatabase{"WhatsApp",
                             "App Groups/group.net.whatsapp.WhatsApp.shared/ChatStorage.sqlite",
                             "WhatsApp chats, ",
                             {"Ada Lovelace | 1", "Family | 4", "Ada Lovelace | 16"}}),
    [](const auto& info) { return std::string(info.param.name); });

using PreviewLoading = WindowTest;

TEST_F(PreviewLoading, OnlyTheNewestRequestIsAnswered) {
    BackupWriter kim(home.addBackup(BackupRoot::Primary, "k", "Kim"));
    kim.addManifestDbFile("HomeDomain", "a.txt", "first");
    kim.addManifestDbFile("HomeDomain", "b.txt", "second");
    openWindow();
    choose(0, 0, 0);
    const PreviewSource first = *controller().chosenFilePreviewSource();
    click(fileTable(), 1);
    PreviewLoader loader;
    QStringList answers;
    QObject::connect(&loader, &PreviewLoader::loaded,
                     [&](const Preview& preview) { answers << preview.text; });
    for (const auto& source : {first, first, *controller().chosenFilePreviewSource()})
        loader.load(source);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.empty(); }));
    EXPECT_EQ(answers, QStringList{"second"});
}

TEST(FileStart, ALargeFileIsReadOnlyToTheLimitAndAnEncryptedOneDecryptedInMemory) {
    TemporaryFolder folder;
    EncryptedBackup backup(folder / "e");
    backup.addFile("HomeDomain", "Library/a.txt", "0123456789");
    Catalog catalog;
    ASSERT_TRUE(catalog.unlockBackup(backup.folder(), backup.keybag().password));
    DeviceRecord device;
    device.directory = backup.folder();
    const ApplicationList applications = catalog.buildCatalogForDevice(device);
    ASSERT_EQ(applications.size(), 1u);
    const auto before = folderSnapshot(folder.path());
    const FileRecord& file = applications[0]->files.at(0);
    const UnlockedKeybag* keybag = catalog.keybagFor(backup.folder()).get();
    auto start = readFileStart(backup.folder(), file, 4, keybag);
    ASSERT_TRUE(start) << start.error().description();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(start->bytes.data()), 4), "0123");
    EXPECT_FALSE(start->whole);
    auto whole = readFileStart(backup.folder(), file, 64, keybag);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->whole);
    EXPECT_EQ(whole->bytes.size(), 10u);
    // Without the keys the stored file is read as it is, and no further than asked.
    auto stored = readFileStart(backup.folder(), file, 4, nullptr);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->bytes.size(), 4u);
    EXPECT_FALSE(stored->whole);
    EXPECT_EQ(folderSnapshot(folder.path()), before);
}

}  // namespace
}  // namespace salvora::test
