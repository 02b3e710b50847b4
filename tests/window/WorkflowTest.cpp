// The three-step workflow as a user walks it, with the state table checked at every step.
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "support/WindowSnapshot.h"
#include "support/WindowTest.h"
#include "window/Controls.h"

namespace salvora::test {
namespace {

using Workflow = WindowTest;

TEST_F(Workflow, WithoutBackupsOnlyTheEmptyDeviceStepIsOpen) {
    openWindow();
    expectStart();
    EXPECT_TRUE(cells(deviceTable()).isEmpty());
}

TEST_F(Workflow, DeviceThenApplicationThenFile) {
    addAlice();
    addBob();
    openWindow();
    expectStart();
    EXPECT_EQ(cells(deviceTable()), (QStringList{"Alice", "Bob"}));

    click(deviceTable(), 0);
    expectDeviceChosen(0, aliceApplications);
    click(applicationTable(), 1);
    expectApplicationChosen(0, 1, notesFiles);
    click(fileTable(), 1);
    expectFileChosen(0, 1, 1, notesFiles);
    click(fileTable(), 0);
    expectFileChosen(0, 1, 0, notesFiles);
}

TEST_F(Workflow, ChoosingAnotherDeviceWhileAFileIsChosenStartsStepTwoAfresh) {
    addAlice();
    addBob();
    openWindow();
    choose(0, 1, 0);

    click(deviceTable(), 1);
    expectDeviceChosen(1, bobApplications);
    click(applicationTable(), 1);
    expectApplicationChosen(1, 1, {"Media/DCIM/IMG_0001.JPG"});
}

TEST_F(Workflow, ChoosingAnotherApplicationWhileAFileIsChosenAsksForAFileAgain) {
    addAlice();
    openWindow();
    choose(0, 1, 1);
    const auto chosenFile = controller().selectedFile();

    click(applicationTable(), 0);
    expectApplicationChosen(0, 0, mapsFiles);
    // The earlier file stays chosen, unused while the save button is disabled.
    EXPECT_EQ(controller().selectedFile(), chosenFile);
    click(fileTable(), 0);
    expectFileChosen(0, 0, 0, mapsFiles);
}

TEST_F(Workflow, ClearingASelectionChangesNothing) {
    addAlice();
    openWindow();
    choose(0, 1, 1);

    for (QTableView* table : {&fileTable(), &applicationTable(), &deviceTable()}) {
        SCOPED_TRACE(table->objectName().toStdString());
        const std::string before = snapshotOf(controller(), table);
        table->clearSelection();
        EXPECT_EQ(selectedRow(*table), -1);
        EXPECT_EQ(snapshotOf(controller(), table), before);
    }
}

TEST_F(Workflow, ClickingTheChosenDeviceAgainChangesNothing) {
    addAlice();
    openWindow();
    choose(0, 1);
    const std::string before = snapshotOf(controller());

    click(deviceTable(), 0);
    EXPECT_EQ(snapshotOf(controller()), before);
}

TEST_F(Workflow, AnEmptyCatalogueOpensStepTwoWithNothingToChoose) {
    addBackup("empty", "Empty");
    openWindow();
    click(deviceTable(), 0);
    expectDeviceChosen(0, {});
}

TEST_F(Workflow, ADeviceWithoutABackupFolderStillCountsAsChosen) {
    addAlice();
    openWindow();
    std::filesystem::remove_all(controller().allDevices()[0]->directory);
    click(deviceTable(), 0);
    expectDeviceChosen(0, {});
}

TEST_F(Workflow, ChoosingADeviceAgainRereadsItsFolder) {
    BackupWriter alice = addAlice();
    addBob();
    openWindow();
    click(deviceTable(), 0);
    const auto firstBuild = controller().applicationsArray()->front();
    click(deviceTable(), 1);
    alice.addManifestDatabaseFile("AppDomain-com.example.games", "Documents/save.dat", "level 3");

    click(deviceTable(), 0);
    expectDeviceChosen(0, {"games", "maps", "notes"});
    EXPECT_NE(controller().applicationsArray()->at(1), firstBuild);
    EXPECT_EQ(controller().selectedDevice()->applications->size(), 3u);
}

TEST_F(Workflow, TheCatalogueADeviceChoiceReplacesIsLetGo) {
    addAlice();
    addBob();
    openWindow();
    click(deviceTable(), 0);
    const std::weak_ptr<ApplicationRecord> firstBuild = controller().applicationsArray()->front();
    click(deviceTable(), 1);
    EXPECT_FALSE(firstBuild.expired()) << "Alice's catalogue stays with her device";

    click(deviceTable(), 0);
    // The next choice waits for the catalogue the one before let go.
    click(deviceTable(), 1);
    EXPECT_TRUE(firstBuild.expired());
}

TEST_F(Workflow, DuringTheBuildStepTwoSpinsWithNothingChosenBelowTheDevice) {
    addAlice();
    addBob();
    openWindow();
    choose(0, 1, 0);

    // Posted before the choice, so the event thread runs it while the build holds the choice.
    bool ranDuringBuild = false;
    QMetaObject::invokeMethod(
        window.get(),
        [&] {
            ranDuringBuild = true;
            MainController& c = controller();
            EXPECT_FALSE(c.step2Progress->isHidden());
            EXPECT_TRUE(isSpinning(*c.step2Progress));
            EXPECT_TRUE(c.applicationTable->isEnabled());
            EXPECT_TRUE(cells(applicationTable()).isEmpty());
            EXPECT_FALSE(c.fileTable->isEnabled());
            EXPECT_TRUE(cells(fileTable()).isEmpty());
            EXPECT_FALSE(c.saveFileButton->isEnabled());
            EXPECT_FALSE(c.saveAllButton->isEnabled());
            EXPECT_EQ(c.selectedApplication(), nullptr);
            EXPECT_EQ(c.selectedFile(), nullptr);
        },
        Qt::QueuedConnection);
    select(deviceTable(), 1);
    EXPECT_TRUE(ranDuringBuild);
    expectDeviceChosen(1, bobApplications);
}

TEST_F(Workflow, TheSaveAllButtonIsNeverShown) {
    addAlice();
    addBob();
    openWindow();
    for (int device : {0, 1, 0}) {
        click(deviceTable(), device);
        EXPECT_TRUE(controller().saveAllButton->isHidden());
        EXPECT_FALSE(controller().saveAllButton->isEnabled());
        click(applicationTable(), 0);
        EXPECT_TRUE(controller().saveAllButton->isHidden());
        EXPECT_TRUE(controller().saveAllButton->isEnabled());
    }
}

}  // namespace
}  // namespace salvora::test
