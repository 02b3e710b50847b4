// The application table of a modern backup: the names and icons its owner knows, in the order
// of what is shown, the identifier and count in a tooltip; the older layouts as they were.
#include <QIcon>
#include <QTableView>

#include "support/ModernBackupSample.h"
#include "window/WindowTest.h"

namespace salvora::test {
namespace {

using ApplicationTable = WindowTest;

TEST_F(ApplicationTable, AModernBackupShowsNamesAndIconsInTheOrderShown) {
    BackupWriter modern = addBackup("m", "Modern");
    writeModernSample(modern, ModernLayout::ManifestDb);
    writeApplicationsInfoPlist(modern.folder(), "Modern");
    addAlice();
    openWindow();
    choose(1);
    EXPECT_EQ(cells(applicationTable()),
              (QStringList{"Camera Roll", "google", "Google Chrome", "Home Folder", "news", "Notes",
                           "Podcasts", "Shortcuts", "System Containers", "WhatsApp Messenger"}));
    const QAbstractItemModel& model = *applicationTable().model();
    auto icon = [&model](int row) {
        return model.index(row, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(8).toImage();
    };
    // Chrome's own icon, a generic one for WhatsApp, which the backup has none of.
    EXPECT_EQ(icon(2).pixelColor(4, 4), QColor(0x25, 0xD3, 0x66));
    EXPECT_FALSE(icon(9).isNull());
    EXPECT_NE(icon(9).pixelColor(4, 4), QColor(0x25, 0xD3, 0x66));
    EXPECT_EQ(model.index(9, 0).data(Qt::ToolTipRole), "net.whatsapp.WhatsApp\n4 files");
    EXPECT_EQ(model.index(5, 0).data(Qt::ToolTipRole), "com.apple.mobilenotes\n1 file");

    choose(0);
    EXPECT_EQ(cells(applicationTable()), aliceApplications);
    EXPECT_FALSE(model.index(0, 0).data(Qt::DecorationRole).isValid());
    EXPECT_EQ(model.index(1, 0).data(Qt::ToolTipRole), "notes\n2 files");
}

}  // namespace
}  // namespace salvora::test
