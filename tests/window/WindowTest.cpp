#include "support/WindowTest.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>

#include "window/Controls.h"

namespace salvora::test {
namespace {

// The colour a caption has before the controller sets one.
QColor laidOutCaptionColour() { return QLabel().palette().color(QPalette::WindowText); }

void expectIdle(const QProgressBar& indicator) {
    EXPECT_TRUE(indicator.isHidden()) << indicator.objectName().toStdString();
    EXPECT_FALSE(isSpinning(indicator)) << indicator.objectName().toStdString();
}

void expectCaption(const QLabel& caption, const QColor& colour) {
    EXPECT_EQ(captionColour(caption), colour) << caption.objectName().toStdString();
}

}  // namespace

WindowTest::WindowTest() { QSettings().clear(); }

BackupWriter WindowTest::addBackup(const std::string& folderName,
                                   const std::optional<std::string>& deviceName) {
    return BackupWriter(home.addBackup(BackupRoot::Primary, folderName, deviceName));
}

BackupWriter WindowTest::addAlice() {
    BackupWriter alice = addBackup("a", "Alice");
    alice.addManifestDatabaseFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha");
    alice.addManifestDatabaseFile("AppDomain-com.example.maps", "Documents/route.gpx", "route");
    alice.addManifestDatabaseFile("AppDomain-com.example.notes",
                                  "Library/Preferences/com.example.notes.plist", "prefs");
    return alice;
}

BackupWriter WindowTest::addBob() {
    BackupWriter bob = addBackup("b", "Bob");
    bob.addMdbackupFile("1.mdbackup", "Media/DCIM/IMG_0001.JPG", "jpeg");
    bob.addMdbackupFile("2.mdbackup", "Library/SMS/sms.db", "sms");
    return bob;
}

void WindowTest::openWindow() {
    window = std::make_unique<MainWindow>(panels);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

QAction& WindowTest::fileMenuAction(const char* name) {
    emit window->findChild<QMenu*>("fileMenu")->aboutToShow();
    return *window->findChild<QAction*>(name);
}

void WindowTest::click(QTableView& table, int row) {
    const QModelIndex index = table.model()->index(row, 0);
    ASSERT_TRUE(index.isValid()) << "no row " << row;
    table.scrollTo(index);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(index).center());
}

void WindowTest::choose(int device, std::optional<int> application, std::optional<int> file) {
    click(deviceTable(), device);
    if (application) click(applicationTable(), *application);
    if (file) click(fileTable(), *file);
}

void WindowTest::select(QTableView& table, int row) {
    table.selectionModel()->select(table.model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QStringList WindowTest::cells(const QTableView& table, int column) const {
    QStringList texts;
    const QAbstractItemModel& model = *table.model();
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

void WindowTest::expectAlways() {
    MainController& c = controller();
    expectCaption(*c.step1Label, laidOutCaptionColour());
    expectIdle(*c.step1Progress);
    EXPECT_TRUE(c.deviceTable->isEnabled());
    EXPECT_TRUE(c.saveAllButton->isHidden());
    EXPECT_TRUE(c.donateButton->isEnabled());
    // The menu commands stand for the two save buttons.
    EXPECT_EQ(window->findChild<QAction*>("saveFileAction")->isEnabled(),
              c.saveFileButton->isEnabled());
    EXPECT_EQ(window->findChild<QAction*>("saveAllFilesAction")->isEnabled(),
              c.saveAllButton->isEnabled());
}

void WindowTest::expectStart() {
    SCOPED_TRACE("Start");
    expectAlways();
    MainController& c = controller();
    expectCaption(*c.step2Label, unreachableStepColour());
    expectCaption(*c.step3Label, unreachableStepColour());
    expectIdle(*c.step2Progress);
    expectIdle(*c.step3Progress);
    EXPECT_EQ(selectedRow(deviceTable()), -1);
    EXPECT_FALSE(applicationTable().isEnabled());
    EXPECT_TRUE(cells(applicationTable()).isEmpty());
    EXPECT_FALSE(fileTable().isEnabled());
    EXPECT_TRUE(cells(fileTable()).isEmpty());
    EXPECT_FALSE(c.saveAllButton->isEnabled());
    EXPECT_FALSE(c.saveFileButton->isEnabled());
    EXPECT_EQ(c.selectedDevice(), nullptr);
    EXPECT_EQ(c.selectedApplication(), nullptr);
    EXPECT_EQ(c.selectedFile(), nullptr);
    EXPECT_FALSE(c.applicationsArray().has_value());
}

void WindowTest::expectDeviceSelected(int device) {
    expectAlways();
    MainController& c = controller();
    expectCaption(*c.step2Label, openStepColour());
    expectIdle(*c.step2Progress);
    EXPECT_EQ(selectedRow(deviceTable()), device);
    ASSERT_LT(static_cast<std::size_t>(device), c.allDevices().size());
    EXPECT_EQ(c.selectedDevice(), c.allDevices()[static_cast<std::size_t>(device)]);
    EXPECT_TRUE(applicationTable().isEnabled());
}

void WindowTest::expectDeviceChosen(int device, const QStringList& applications) {
    SCOPED_TRACE("Device chosen");
    expectDeviceSelected(device);
    MainController& c = controller();
    expectCaption(*c.step3Label, unreachableStepColour());
    EXPECT_EQ(cells(applicationTable()), applications);
    EXPECT_EQ(selectedRow(applicationTable()), -1);
    EXPECT_FALSE(fileTable().isEnabled());
    EXPECT_TRUE(cells(fileTable()).isEmpty());
    EXPECT_EQ(selectedRow(fileTable()), -1);
    EXPECT_FALSE(c.saveAllButton->isEnabled());
    EXPECT_FALSE(c.saveFileButton->isEnabled());
    EXPECT_EQ(c.selectedApplication(), nullptr);
    EXPECT_EQ(c.selectedFile(), nullptr);
    ASSERT_TRUE(c.applicationsArray().has_value());
    EXPECT_EQ(c.applicationsArray()->size(), static_cast<std::size_t>(applications.size()));
}

void WindowTest::expectApplicationSelected(int application, const QStringList& files) {
    MainController& c = controller();
    expectCaption(*c.step3Label, openStepColour());
    expectIdle(*c.step3Progress);
    EXPECT_EQ(selectedRow(applicationTable()), application);
    ASSERT_TRUE(c.applicationsArray().has_value());
    ASSERT_LT(static_cast<std::size_t>(application), c.applicationsArray()->size());
    EXPECT_EQ(c.selectedApplication(),
              (*c.applicationsArray())[static_cast<std::size_t>(application)]);
    EXPECT_TRUE(fileTable().isEnabled());
    EXPECT_EQ(cells(fileTable()), files);
    EXPECT_TRUE(c.saveAllButton->isEnabled());
}

void WindowTest::expectApplicationChosen(int device, int application, const QStringList& files) {
    SCOPED_TRACE("Application chosen");
    expectDeviceSelected(device);
    expectApplicationSelected(application, files);
    EXPECT_EQ(selectedRow(fileTable()), -1);
    EXPECT_FALSE(controller().saveFileButton->isEnabled());
}

void WindowTest::expectFileChosen(int device, int application, int file, const QStringList& files) {
    SCOPED_TRACE("File chosen");
    expectDeviceSelected(device);
    expectApplicationSelected(application, files);
    MainController& c = controller();
    EXPECT_EQ(selectedRow(fileTable()), file);
    EXPECT_TRUE(c.saveFileButton->isEnabled());
    ASSERT_NE(c.selectedApplication(), nullptr);
    EXPECT_EQ(c.selectedFile().get(),
              &c.selectedApplication()->files[static_cast<std::size_t>(file)]);
}

}  // namespace salvora::test
