// The product page, the update hook, and the window around the three steps.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include "support/WindowSnapshot.h"
#include "support/WindowTest.h"
#include "window/QtText.h"

namespace salvora::test {
namespace {

using WebActions = WindowTest;
using Layout = WindowTest;

TEST(ProductPage, IsAPlainHttpAddressOfTheProductPath) {
    const QUrl page(toQString(ProductPage));
    EXPECT_TRUE(page.isValid());
    EXPECT_EQ(page.scheme(), "http");
    EXPECT_FALSE(page.host().isEmpty());
    EXPECT_EQ(page.path(), "/software/Salvora");
    EXPECT_EQ(page.port(), -1);
    EXPECT_FALSE(page.hasQuery());
    EXPECT_FALSE(page.hasFragment());
}

TEST_F(WebActions, OpenTheProductPageInEveryStateAndChangeNothing) {
    addAlice();
    openWindow();
    const QUrl page(toQString(ProductPage));
    const auto pressBoth = [&](const char* state) {
        SCOPED_TRACE(state);
        panels.openedUrls.clear();
        const std::string before = snapshotOf(controller());
        QTest::mouseClick(controller().donateButton, Qt::LeftButton);
        window->findChild<QAction*>("websiteAction")->trigger();
        EXPECT_EQ(panels.openedUrls, (std::vector<QUrl>{page, page}));
        EXPECT_EQ(snapshotOf(controller()), before);
    };
    pressBoth("Start");
    click(deviceTable(), 0);
    pressBoth("Device chosen");
    click(applicationTable(), 1);
    pressBoth("Application chosen");
    click(fileTable(), 0);
    pressBoth("File chosen");
}

TEST_F(WebActions, UpdatesStayHiddenAndCheckingForThemDoesNothing) {
    addAlice();
    openWindow();
    QAction& check = *window->findChild<QAction*>("checkForUpdatesAction");
    EXPECT_TRUE(controller().updatesHidden());
    EXPECT_FALSE(check.isVisible());

    click(deviceTable(), 0);
    EXPECT_TRUE(controller().updatesHidden());
    const std::string before = snapshotOf(controller());
    check.trigger();
    EXPECT_EQ(snapshotOf(controller()), before);
    EXPECT_TRUE(panels.openedUrls.empty());
}

TEST_F(Layout, EveryOutletIsConnectedAndFoundByItsName) {
    openWindow();
    MainController& c = controller();
    const std::vector<std::pair<const char*, QWidget*>> outlets{
        {"applicationTable", c.applicationTable},
        {"deviceTable", c.deviceTable},
        {"fileTable", c.fileTable},
        {"donateButton", c.donateButton},
        {"saveAllButton", c.saveAllButton},
        {"saveFileButton", c.saveFileButton},
        {"step1Label", c.step1Label},
        {"step2Label", c.step2Label},
        {"step3Label", c.step3Label},
        {"step1Progress", c.step1Progress},
        {"step2Progress", c.step2Progress},
        {"step3Progress", c.step3Progress}};
    for (const auto& [name, outlet] : outlets) {
        ASSERT_NE(outlet, nullptr) << name;
        EXPECT_EQ(window->findChild<QWidget*>(name), outlet) << name;
    }
}

TEST_F(Layout, TheWindowIsCalledSalvoraResizesAndItsColumnsStretch) {
    openWindow();
    EXPECT_EQ(window->windowTitle(), "Salvora");
    const QSize larger = window->size() + QSize(200, 100);
    window->resize(larger);
    EXPECT_EQ(window->size(), larger);
    for (QTableView* table : {&deviceTable(), &applicationTable()})
        EXPECT_TRUE(table->horizontalHeader()->stretchLastSection())
            << table->objectName().toStdString();
    for (QTableView* table : {&deviceTable(), &fileTable()})
        EXPECT_EQ(table->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch)
            << table->objectName().toStdString();
}

TEST_F(Layout, TheWindowCarriesTheIconInEverySize) {
    openWindow();
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    for (int size : {16, 24, 48}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
}

TEST_F(Layout, MenusHoldTheSaveCommandsQuitTheWebsiteUpdatesAndAbout) {
    openWindow();
    const auto namesIn = [&](const char* menu) {
        QStringList names;
        for (const QAction* action : window->findChild<QMenu*>(menu)->actions())
            names << (action->isSeparator() ? "-"
                      : action->menu() ? action->menu()->objectName()
                                       : action->objectName());
        return names;
    };
    EXPECT_EQ(namesIn("fileMenu"),
              (QStringList{"openBackupFolderAction", "-", "saveFileAction",
                           "saveSelectedFilesAction", "saveAllFilesAction", "exportMenu", "-",
                           "portableNamesAction", "-", "quitAction"}));
    EXPECT_EQ(namesIn("exportMenu"),
              (QStringList{"exportPhotosAction", "exportMessagesAction", "exportWhatsAppAction",
                           "exportContactsAction", "exportCallsAction", "exportCalendarsAction"}));
    EXPECT_EQ(namesIn("editMenu"), (QStringList{"copyPathAction", "filterFilesAction"}));
    EXPECT_EQ(namesIn("helpMenu"),
              (QStringList{"websiteAction", "checkForUpdatesAction", "-", "aboutAction"}));
}

TEST_F(Layout, QuitClosesTheWindow) {
    openWindow();
    // Closing the last window would end the test run's application.
    QApplication::setQuitOnLastWindowClosed(false);
    window->findChild<QAction*>("quitAction")->trigger();
    EXPECT_FALSE(window->isVisible());
    QApplication::setQuitOnLastWindowClosed(true);
}

}  // namespace
}  // namespace salvora::test
