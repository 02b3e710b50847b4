// Choosing a device whose backup is encrypted: the password is asked for while step 2 spins,
// asked again after a wrong one, and cancelling leaves the device chosen with nothing listed.
#include <QAction>
#include <QInputDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "foundation/Log.h"
#include "support/DecryptedBackup.h"
#include "support/EncryptedBackup.h"
#include "support/WindowTest.h"
#include "window/Controls.h"
#include "window/QtPanels.h"

namespace salvora::test {
namespace {

using Request = ScriptedPanels::PasswordRequest;

class EncryptedDevice : public WindowTest {
  protected:
    // Alice's plain backup (folder "a"), and Carol's encrypted one (folder "c").
    void SetUp() override {
        addAlice();
        carol =
            std::make_unique<EncryptedBackup>(home.addBackup(BackupRoot::Primary, "c", "Carol"));
        carol->addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha", 1'500'000'000);
        carol->addFile("HomeDomain", "Library/SMS/sms.db", "sms");
    }
    const std::string& password() const { return carol->keybag().password; }
    static constexpr int Carol = 1;
    inline static const QStringList carolApplications{"Home Folder", "Notes"};

    std::unique_ptr<EncryptedBackup> carol;
    LogCapture quiet;
};

TEST_F(EncryptedDevice, ThePasswordIsAskedForWhileStepTwoSpinsWithNoRows) {
    openWindow();
    panels.passwordAnswers = {password()};
    panels.whilePasswordAsked = [this] {
        MainController& c = controller();
        EXPECT_FALSE(c.step2Progress->isHidden());
        EXPECT_TRUE(isSpinning(*c.step2Progress));
        EXPECT_EQ(captionColour(*c.step2Label), openStepColour());
        EXPECT_TRUE(cells(applicationTable()).isEmpty());
        EXPECT_FALSE(fileTable().isEnabled());
    };
    click(deviceTable(), Carol);
    EXPECT_EQ(panels.passwordRequests, (std::vector<Request>{{"Carol", false}}));
    expectDeviceChosen(Carol, carolApplications);

    click(applicationTable(), 1);
    expectApplicationChosen(Carol, 1, {"Documents/a.txt"});
    click(fileTable(), 0);
    TemporaryFolder out;
    panels.savePathAnswers = {out / "a.txt"};
    QTest::mouseClick(controller().saveFileButton, Qt::LeftButton);
    EXPECT_EQ(readText(out / "a.txt"), "alpha");
    EXPECT_EQ(modificationSeconds(out / "a.txt"), 1'500'000'000);
}

TEST_F(EncryptedDevice, AWrongPasswordIsSaidAndAskedAgain) {
    openWindow();
    panels.passwordAnswers = {"wrong", "also wrong", password()};
    click(deviceTable(), Carol);
    EXPECT_EQ(panels.passwordRequests,
              (std::vector<Request>{{"Carol", false}, {"Carol", true}, {"Carol", true}}));
    expectDeviceChosen(Carol, carolApplications);
}

TEST_F(EncryptedDevice, CancelLeavesTheDeviceChosenWithAnEmptyApplicationTable) {
    openWindow();
    panels.passwordAnswers = {std::nullopt};
    click(deviceTable(), Carol);
    expectDeviceChosen(Carol, {});
    ASSERT_TRUE(controller().selectedDevice()->applications);
    EXPECT_TRUE(controller().selectedDevice()->applications->empty());

    // Cancelling after a wrong password is the same.
    click(deviceTable(), 0);
    panels.passwordAnswers = {"wrong", std::nullopt};
    click(deviceTable(), Carol);
    EXPECT_EQ(panels.passwordRequests.back(), (Request{"Carol", true}));
    expectDeviceChosen(Carol, {});
}

TEST_F(EncryptedDevice, TheKeysServeTheWholeRunAndPlainBackupsAskNothing) {
    openWindow();
    panels.passwordAnswers = {password()};
    click(deviceTable(), Carol);
    click(deviceTable(), 0);
    expectDeviceChosen(0, aliceApplications);
    click(deviceTable(), Carol);
    expectDeviceChosen(Carol, carolApplications);
    EXPECT_EQ(panels.passwordRequests.size(), 1u);
}

TEST_F(EncryptedDevice, ABackupThatDoesNotDecryptListsNothingAndSaysWhy) {
    test::EncryptedBackup broken(home.addBackup(BackupRoot::Primary, "d", "Dave"),
                                 EncryptedCatalogue::EncryptedManifestDb, {},
                                 {.tamperManifestKey = true});
    openWindow();
    panels.passwordAnswers = {password()};
    click(deviceTable(), 2);
    expectDeviceChosen(2, {});
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
              "Could not unwrap a key \"" + broken / "Manifest.plist" +
                  "\": The key wrapped with protection class 4 is damaged");
}

// The real dialog, answered the way a user answers it.
std::optional<std::string> answerDialog(bool wrongBefore, std::optional<QString> typed,
                                        QString& shownPrompt, QLineEdit::EchoMode& echo) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        shownPrompt = dialog->labelText();
        echo = dialog->textEchoMode();
        if (!typed) return dialog->reject();
        dialog->setTextValue(*typed);
        dialog->accept();
    });
    QtPanels panels;
    return panels.askPassword("Carol", wrongBefore);
}

TEST(PasswordDialog, HidesWhatIsTypedAndSaysWhenThePasswordWasWrong) {
    QString prompt;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    EXPECT_EQ(answerDialog(false, QString("p\u00e4ss word"), prompt, echo), "p\u00e4ss word");
    EXPECT_EQ(echo, QLineEdit::Password);
    EXPECT_EQ(prompt, "The backup of \u201cCarol\u201d is encrypted. Enter its password:");
    EXPECT_EQ(answerDialog(true, QString("again"), prompt, echo), "again");
    EXPECT_TRUE(prompt.startsWith("Wrong password.")) << prompt.toStdString();
    EXPECT_EQ(answerDialog(false, std::nullopt, prompt, echo), std::nullopt);
}

TEST_F(EncryptedDevice, FilesOfAnotherLengthAreSavedAndTheStatusBarSaysHowMany) {
    carol->addFile({.domain = "AppDomain-com.example.notes",
                    .path = "Documents/grew.db",
                    .contents = "grown",
                    .recordedSize = 9});
    openWindow();
    panels.passwordAnswers = {password()};
    click(deviceTable(), Carol);
    click(applicationTable(), 1);
    TemporaryFolder out;
    panels.folderAnswers = {out.path()};
    window->findChild<QAction*>("saveAllFilesAction")->trigger();
    EXPECT_EQ(window->statusBar()->currentMessage(),
              QString::fromStdString("Saved 2 files to " + out.path() +
                                     " (1 saved with a length other than recorded)."));
    EXPECT_EQ(readText(out / "Documents/grew.db"), "grown");
}

TEST_F(EncryptedDevice, ABackupDecryptedByAnotherToolOpensWithoutAPassword) {
    DecryptedBackup dave(home.addBackup(BackupRoot::Primary, "d", "Dave"),
                         DecryptedCatalogue::ManifestDb, ManifestPlistLeft::Untouched);
    dave.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha");
    openWindow();
    click(deviceTable(), 2);
    EXPECT_TRUE(panels.passwordRequests.empty());
    expectDeviceChosen(2, {"Notes"});
    click(applicationTable(), 0);
    click(fileTable(), 0);
    TemporaryFolder out;
    panels.savePathAnswers = {out / "a.txt"};
    QTest::mouseClick(controller().saveFileButton, Qt::LeftButton);
    EXPECT_EQ(readText(out / "a.txt"), "alpha");
}

}  // namespace
}  // namespace salvora::test
