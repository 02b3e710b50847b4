// What the three tables show: every cell's text and fallback, and the rows they count.
#include <QProgressBar>
#include <QTableView>
#include <climits>

#include "support/EncryptedBackup.h"
#include "support/MdinfoInDomain.h"
#include "support/TemporaryFolder.h"
#include "support/WindowSnapshot.h"
#include "support/WindowTest.h"
#include "window/ControllerTableModel.h"
#include "window/Controls.h"

namespace salvora::test {
namespace {

using DataSource = WindowTest;

TEST_F(DataSource, DevicesShowTheirNameOrUnknownNameAndTheirDate) {
    for (const auto& [folder, name] :
         std::initializer_list<std::pair<std::string, std::optional<std::string>>>{
             {"a", "Alice"}, {"b", std::nullopt}, {"c", ""}})
        setModificationTime(home.addBackup(BackupRoot::Primary, folder, name), 2009, 7, 14, 15, 5);
    openWindow();
    EXPECT_EQ(cells(deviceTable(), 0), (QStringList{"Alice", "(Unknown Name)", "(Unknown Name)"}));
    EXPECT_EQ(cells(deviceTable(), 1), QStringList(3, "07/14/09 03:05PM"));
}

TEST_F(DataSource, DevicesShowTheirVersionModelFolderAndALockWhenEncrypted) {
    const std::string plain = home.addBackup(BackupRoot::Primary, "p", "Plain");
    PlistValue::dictionary({{"Device Name", PlistValue::string("Plain")},
                            {"Product Version", PlistValue::string("17.2")},
                            {"Product Type", PlistValue::string("iPhone15,2")}})
        .write(plain + "/Info.plist", PlistFormat::Xml);
    EncryptedBackup(home.addBackup(BackupRoot::Primary, "q", "Locked"));
    openWindow();
    EXPECT_EQ(cells(deviceTable(), 2)[0], "17.2");
    EXPECT_EQ(cells(deviceTable(), 3)[0], "iPhone15,2");
    const QAbstractItemModel& model = *deviceTable().model();
    EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString(), QString::fromStdString(plain));
    EXPECT_TRUE(model.index(0, 0).data(Qt::DecorationRole).isNull());
    EXPECT_FALSE(model.index(1, 0).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(model.index(1, 0).data(Qt::AccessibleDescriptionRole).toString(), "Encrypted");
}

TEST_F(DataSource, DeviceColumnsAreToldApartByTheirIdentifiersAlone) {
    addAlice();
    openWindow();
    const QAbstractItemModel& model = *deviceTable().model();
    ASSERT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, ColumnIdentifierRole).toString(), "name");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, ColumnIdentifierRole).toString(), "date");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, ColumnIdentifierRole).toString(),
              "productVersion");
    EXPECT_EQ(model.headerData(3, Qt::Horizontal, ColumnIdentifierRole).toString(), "productType");

    const MainController& c = controller();
    EXPECT_EQ(c.objectValueForTableColumn(&deviceTable(), "name", 0), "Alice");
    for (const QString identifier : {"Name", "name ", "title", "", "fullpath"})
        EXPECT_EQ(c.objectValueForTableColumn(&deviceTable(), identifier, 0), QString())
            << identifier.toStdString();
}

TEST_F(DataSource, ApplicationsShowTheirDisplayNameElseTheirNameElseUnknown) {
    BackupWriter carol = addBackup("c", "Carol");
    carol.addMdinfoFile("1.mdinfo", inDomain("AppDomain-com.example.chat", "Documents/log"), "hi");
    carol.addMdinfoFile("2.mdinfo", inDomain("AppDomain-com.example.quiet", "Documents/q"), "q");
    carol.addMdinfoFile("3.mdinfo", inDomain("HomeDomain", "Library/x.plist"), "x");
    // A path of one component belongs to the application without a name.
    carol.addMdbackupFile("4.mdbackup", "notes.txt", "n");
    carol.addDisplayName("com.example.chat", "Zebra");
    carol.addDisplayName("com.example.quiet", "");
    openWindow();
    click(deviceTable(), 0);
    // Rows keep the order of the names, not of what is shown.
    EXPECT_EQ(cells(applicationTable()), (QStringList{"(Unknown Application Name)", "Zebra",
                                                      "com.example.quiet", "HomeDomain"}));
}

TEST_F(DataSource, DisplayNamesOfAnEarlierBackupApplyToLaterOnes) {
    BackupWriter carol = addBackup("a", "Carol");
    carol.addMdinfoFile("1.mdinfo", inDomain("AppDomain-com.example.chat", "Documents/log"), "hi");
    carol.addDisplayName("com.example.chat", "Chat");
    BackupWriter dave = addBackup("b", "Dave");
    dave.addMdbackupFile("1.mdbackup", "com.example.chat/Documents/old.txt", "old");
    dave.addMdbackupFile("2.mdbackup", "Other/x", "x");
    openWindow();

    click(deviceTable(), 1);
    EXPECT_EQ(cells(applicationTable()), (QStringList{"com.example.chat", "Other"}));
    click(deviceTable(), 0);
    EXPECT_EQ(cells(applicationTable()), QStringList{"Chat"});
    click(deviceTable(), 1);
    EXPECT_EQ(cells(applicationTable()), (QStringList{"Chat", "Other"}));
}

TEST_F(DataSource, FilesShowTheirWholeRelativePathElseUnknown) {
    BackupWriter erin = addBackup("e", "Erin");
    erin.addManifestDatabaseFile("AppDomain-com.example.blank", "", "empty path");
    erin.addManifestDatabaseFile("AppDomain-com.example.blank", "Documents/inner/deep.txt", "deep");
    erin.addMdbackupFile("1.mdbackup", std::nullopt, "no path");
    openWindow();
    click(deviceTable(), 0);
    ASSERT_EQ(cells(applicationTable()), (QStringList{"(Unknown Application Name)", "blank"}));

    click(applicationTable(), 1);
    EXPECT_EQ(cells(fileTable()), (QStringList{"(Unknown File Name)", "Documents/inner/deep.txt"}));
    click(applicationTable(), 0);
    EXPECT_EQ(cells(fileTable()), QStringList{"(Unknown File Name)"});
}

TEST_F(DataSource, RowsOutsideTheListGiveEmptyTextInEveryTable) {
    addAlice();
    openWindow();
    choose(0, 1, 0);

    MainController& c = controller();
    for (const auto& [table, count] :
         {std::pair{&deviceTable(), 1}, {&applicationTable(), 2}, {&fileTable(), 2}}) {
        SCOPED_TRACE(table->objectName().toStdString());
        EXPECT_EQ(c.numberOfRowsInTableView(table), count);
        for (const QString identifier : {"name", "date", ""})
            for (int row : {count, count + 1, -1, INT_MIN, INT_MAX})
                EXPECT_EQ(c.objectValueForTableColumn(table, identifier, row), QString())
                    << identifier.toStdString() << " row " << row;
    }
}

TEST_F(DataSource, AnyOtherTableHasNoRowsAndEmptyCells) {
    addAlice();
    openWindow();
    choose(0, 1);

    QTableView stranger;
    MainController& c = controller();
    EXPECT_EQ(c.numberOfRowsInTableView(&stranger), 0);
    EXPECT_EQ(c.objectValueForTableColumn(&stranger, "name", 0), QString());
    EXPECT_EQ(c.numberOfRowsInTableView(nullptr), 0);
    EXPECT_EQ(c.objectValueForTableColumn(nullptr, "name", 0), QString());
}

TEST_F(DataSource, EveryCountOfTheDeviceTableKeepsTheFirstIndicatorHidden) {
    addAlice();
    openWindow();
    MainController& c = controller();
    c.step1Progress->show();
    startSpinning(*c.step1Progress);
    EXPECT_EQ(c.numberOfRowsInTableView(&deviceTable()), 1);
    EXPECT_TRUE(c.step1Progress->isHidden());
    EXPECT_FALSE(isSpinning(*c.step1Progress));
}

TEST_F(DataSource, TheTablesAskingForRowsAndCellsAnyNumberOfTimesChangesNothing) {
    addAlice();
    openWindow();
    choose(0, 1, 0);
    MainController& c = controller();
    // Shown again, the first step's indicator would show a count that hides it.
    c.step1Progress->show();
    startSpinning(*c.step1Progress);
    const std::string before = snapshotOf(c);
    for (int time = 0; time < 50; ++time) {
        window->repaint();
        for (const QTableView* table : {&deviceTable(), &applicationTable(), &fileTable()}) {
            const QAbstractItemModel& model = *table->model();
            for (int row = 0; row <= model.rowCount(); ++row)
                for (int role : {Qt::DisplayRole, Qt::ToolTipRole, Qt::DecorationRole})
                    model.index(row, 0).data(role);
        }
    }
    EXPECT_EQ(snapshotOf(c), before);
    EXPECT_FALSE(c.step1Progress->isHidden());
    EXPECT_TRUE(isSpinning(*c.step1Progress));
}

}  // namespace
}  // namespace salvora::test
