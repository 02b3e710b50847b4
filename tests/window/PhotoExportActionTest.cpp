// File → "Export Photos and Videos…" offscreen: offered only for a device with a camera roll,
// and exporting it into the folder the user chooses.
#include <QAction>
#include <QStatusBar>
#include <cstdlib>
#include <ctime>

#include "foundation/FileQueries.h"
#include "support/CameraRollWriter.h"
#include "support/TemporaryFolder.h"
#include "support/WindowTest.h"

namespace salvora::test {
namespace {

class PhotoExportAction : public WindowTest {
  protected:
    // The dated folders are local: in Europe/Berlin, whatever zone the test runs in.
    PhotoExportAction() {
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }

    QAction& exportAction() { return fileMenuAction("exportPhotosAction"); }

    TemporaryFolder out;
};

TEST_F(PhotoExportAction, ExportsTheChosenDevicesCameraRollIntoTheChosenFolder) {
    addAlice();
    BackupWriter carol = addBackup("c", "Carol");
    writeCameraRoll(
        exampleCameraRoll(PhotoSchema::Asset, LibraryFile::Database),
        [&](const std::string& path, const std::string& contents, std::uint32_t lastModified) {
            carol.addManifestDbFile("CameraRollDomain", path, contents, lastModified);
        });
    openWindow();
    EXPECT_FALSE(exportAction().isEnabled());
    choose(0);
    EXPECT_FALSE(exportAction().isEnabled());

    choose(1);
    ASSERT_TRUE(exportAction().isEnabled());
    panels.folderAnswers = {std::nullopt, out.path()};
    exportAction().trigger();
    EXPECT_TRUE(directoryContents(out.path())->empty());
    exportAction().trigger();
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
              "Exported 4 photos, 2 videos, 1 edited version, 1 not in this backup, 0 failed to " +
                  out.path() + ".");
    EXPECT_EQ(readText(out / "2023/07/Beach.HEIC"), "IMG_0001.HEIC");
}

}  // namespace
}  // namespace salvora::test
