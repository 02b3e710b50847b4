// The application table of a modern backup: names and icons in the order shown, the
// identifier and count in a tooltip; the older layouts without icons.
#include <QIcon>
#include <QTableView>

#include "support/ModernBackupSample.h"
#include "support/WindowTest.h"

namespace salvora::test {
namespace {

TEST_F(WindowTest, AModernBackupShowsItsApplicationsWithNameIconAndTooltip) {
    BackupWriter modern = addBackup("m", "Modern");
    writeModernSample(modern, ModernLayout::ManifestDb);
    writeApplicationsInfoPlist(modern.folder(), "Modern");
    addAlice();
    openWindow();
    choose(1);
    EXPECT_EQ(
        cells(applicationTable()),
        (QStringList{"Camera Roll", "Google (shared)", "Google Chrome", "Home Folder", "Notes",
                     "Podcasts", "Shortcuts", "System Containers", "WhatsApp Messenger"}));
    const QAbstractItemModel& model = *applicationTable().model();
    auto centre = [&model](int row) {
        const QIcon icon = model.index(row, 0).data(Qt::DecorationRole).value<QIcon>();
        return icon.pixmap(8).toImage().pixelColor(4, 4);
    };
    // Chrome's own icon; a generic one for WhatsApp, whose icon in the backup is no image.
    EXPECT_EQ(centre(2), QColor(0x25, 0xD3, 0x66));
    EXPECT_TRUE(centre(8).isValid());
    EXPECT_NE(centre(8), centre(2));
    EXPECT_EQ(model.index(8, 0).data(Qt::ToolTipRole), "net.whatsapp.WhatsApp\n4 files");

    choose(0);
    EXPECT_FALSE(model.index(0, 0).data(Qt::DecorationRole).isValid());
    EXPECT_EQ(model.index(1, 0).data(Qt::ToolTipRole), "notes\n2 files");
}

}  // namespace
}  // namespace salvora::test
