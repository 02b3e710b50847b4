#pragma once

// The one window, built from its Designer layout. Like a layout loader it creates the
// controller, connects its outlets, makes it data source and delegate of the three tables, binds
// the menus, and then sends it awakeFromNib.
#include <QMainWindow>
#include <memory>

#include "app/SUUpdater.h"
#include "window/MainController.h"
#include "window/SourceExportCommand.h"

namespace Ui {
class MainWindow;
}

namespace salvora {

class FileFilterModel;
class PreviewPane;
class Panels;
class RenamedFilesButton;

class MainWindow final : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(Panels& panels, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainController& controller() { return controller_; }

  protected:
    // Keeps the window's size, place and pane sizes for the next start.
    void closeEvent(QCloseEvent* event) override;
    // A folder dropped onto the window is opened as a backup folder.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void connectOutlets();
    void bindDeviceTableMenu();
    void bindTables();
    void bindFileTable();
    void bindBackupSummary();
    void bindMenus(Panels& panels);
    // Runs `source` from `action`, its outcome in the status bar and its renamed files on
    // `renamed`.
    void bindExport(QAction& action, SourceExport source, Panels& panels,
                    RenamedFilesButton& renamed);
    void showAbout();

    std::unique_ptr<Ui::MainWindow> ui_;
    MainController controller_;
    FileFilterModel* fileFilter_ = nullptr;  // owned by the file table
    PreviewPane* preview_ = nullptr;         // owned by the window
    SUUpdater updater_;
};

}  // namespace salvora
