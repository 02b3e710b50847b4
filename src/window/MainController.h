#pragma once

// The controller of the one window. It leads the user through three steps (a device, one of its
// applications, one of its files), keeps each step's caption, busy indicator, table and buttons
// in the state the step calls for, and answers the three tables as their data source.
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <thread>

#include "catalog/Catalog.h"
#include "catalog/model/Records.h"
#include "recovery/Recovery.h"
#include "window/ApplicationRowLook.h"
#include "window/FileListing.h"
#include "window/Preview.h"
#include "window/SummaryLoader.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

namespace salvora {

class Panels;

// The product's web page, which the donate button and the website action open.
inline constexpr std::string_view ProductPage = "http://salvora.app/software/Salvora";

class MainController final : public QObject {
    Q_OBJECT
  public:
    explicit MainController(Panels& panels, QObject* parent = nullptr);
    ~MainController() override;

    // Outlets, connected by the window layout before awakeFromNib. The window owns them.
    QTableView* applicationTable = nullptr;
    QTableView* deviceTable = nullptr;
    QTableView* fileTable = nullptr;
    QPushButton* donateButton = nullptr;
    QPushButton* saveAllButton = nullptr;
    QPushButton* saveFileButton = nullptr;
    QLabel* step1Label = nullptr;
    QLabel* step2Label = nullptr;
    QLabel* step3Label = nullptr;
    QProgressBar* step1Progress = nullptr;
    QProgressBar* step2Progress = nullptr;
    QProgressBar* step3Progress = nullptr;

    const DeviceList& allDevices() const { return allDevices_; }
    const std::shared_ptr<DeviceRecord>& selectedDevice() const { return selectedDevice_; }
    const std::shared_ptr<ApplicationRecord>& selectedApplication() const {
        return selectedApplication_;
    }
    const std::shared_ptr<const FileRecord>& selectedFile() const { return selectedFile_; }
    // The keys of the chosen device's backup; null for a plain one.
    const UnlockedKeybag* selectedKeybag() const;
    // Absent until the first device is chosen.
    const std::optional<ApplicationList>& applicationsArray() const { return applicationsArray_; }
    const std::optional<TranslationNames>& translationNames() const {
        return catalog_.translationNames();
    }

    // The file table's rows: the chosen application's files, or every application's.
    const FileListing& fileListing() const { return fileListing_; }
    bool filesOfEveryApplication() const { return everyApplication_; }
    void setFilesOfEveryApplication(bool every);

    // Adds the backups of each folder to the device table after those listed, remembers the
    // folder for the next starts, and chooses the last backup added (or already listed). A
    // folder with no backup adds nothing and is told in a problem message.
    void openBackupFolders(const std::vector<std::string>& folders);
    // File > Open Backup Folder…: a folder the user chooses.
    void openBackupFolderPressed();
    // Whether the device table's row came from a folder opened by the user, and forgetting it:
    // its backups leave the table and the folder is not listed at the next start.
    bool isOpenedFolderRow(int row) const;
    void forgetOpenedFolderOfRow(int row);

    // What a preview of the chosen file reads; absent when none is chosen.
    std::optional<PreviewSource> chosenFilePreviewSource() const;
    // What the summary of the chosen device reads; absent when none is chosen.
    std::optional<SummaryJob> chosenDeviceSummaryJob() const;

    // Actions.
    void websitePressed();
    void donatePressed();
    void saveFilePressed();
    void saveAllPressed();
    // Saves the file table's selected files below a chosen folder, as save all does.
    void saveSelectedPressed();
    // The file table's selected files, in the order the rows are listed before sorting.
    std::vector<FileRecord> selectedFiles() const;

    // Delegate of the three tables: a table's selection changed, told apart by comparing the
    // table with the three outlets.
    void tableViewSelectionDidChange(QTableView* table);
    // The same for one table each, as the tables' models tell it: the row now selected alone,
    // or -1, which changes nothing.
    void deviceRowSelected(int row);
    void applicationRowSelected(int row);
    void fileRowSelected(int row);

    // The three steps, called only by the selection dispatch once it has stored the choice.
    void fileSelected(const FileRecord& file);
    void applicationSelected(const ApplicationRecord& application);
    void deviceSelected(DeviceRecord& device);

    std::shared_ptr<ApplicationRecord> getOrCreateApplicationNamed(std::string_view name,
                                                                   ApplicationMap& applications);

    // Data source of the three tables, as the window layout's tables address it: the table is
    // told apart by comparing it with the three outlets, and any other has no rows. A cell's
    // value is absent only for a device without a date. Every count of the device table hides
    // the first step's indicator; the models don't count this way, and the indicator goes when
    // the device list is loaded.
    std::optional<QString> objectValueForTableColumn(const QTableView* table,
                                                     const QString& columnIdentifier,
                                                     int row) const;
    int numberOfRowsInTableView(const QTableView* table);

    // The same answers for one table each, as the tables' models ask them, with no effect on
    // anything. A row outside the list gives empty text.
    int deviceRowCount() const;
    std::optional<QString> deviceCell(const QString& columnIdentifier, int row) const;
    // Beside a device's cells: whether its backup is encrypted, and its folder, with why it
    // lists nothing once a build found nothing in it.
    bool isEncryptedDevice(int row) const;
    QString deviceToolTip(int row) const;
    int applicationRowCount() const;
    QString applicationCell(int row) const;
    // The application table's icon (Qt::DecorationRole) and tooltip (Qt::ToolTipRole) of a row;
    // nothing for other roles.
    QVariant applicationRowLook(int row, int role);
    int fileRowCount() const;
    QString fileCell(const QString& columnIdentifier, int row) const;

    // Sent once by the window layout, after every outlet is connected.
    void awakeFromNib();

    bool updatesHidden() const { return true; }

  signals:
    // After every confirmed save: what came of it, in a sentence for the user.
    void saveFinished(const QString& message);
    // Then the files it saved under another name than their own (none: an empty list).
    void filesRenamed(const std::vector<FileOutcome>& renamed);
    // An encrypted backup that can't be listed, though unlocked or with no keys to unlock.
    void catalogueProblem(const QString& message);
    // A folder the user opened that holds no backup.
    void folderProblem(const QString& message);
    // A device was chosen and its catalogue is about to be built; then, once the application
    // table shows the result, it is listed.
    void deviceChoiceStarted();
    void deviceListed();

  private:
    // The build of a device choice: an encrypted backup not yet unlocked this run is unlocked
    // first with the password the user gives, asked again after a wrong one. Cancelling
    // leaves it listing nothing, like an unreadable backup.
    Result<ApplicationList> buildCatalogUnlocking(DeviceRecord& device);
    // Saves the files below a folder the user chooses, off the event thread behind a progress
    // dialog titled `title`, and tells the outcome.
    void saveBelowChosenFolder(const std::vector<FileRecord>& files, const QString& title);
    void refreshFileListing();
    // The device list has changed: the table shows it, and the first step is done waiting.
    void reloadDeviceTable();
    void list(std::shared_ptr<DeviceRecord> device);
    // Appends the folder's backups not yet listed; the rows of its backups, listed before or not.
    std::vector<int> addDevicesOfFolder(const std::string& folder);

    Panels& panels_;
    Catalog catalog_;
    DeviceList allDevices_;
    std::shared_ptr<DeviceRecord> selectedDevice_;
    std::shared_ptr<ApplicationRecord> selectedApplication_;
    std::shared_ptr<const FileRecord> selectedFile_;
    // The chosen file's "-wal", where it is a database with one.
    std::shared_ptr<const FileRecord> selectedFileWal_;
    std::optional<ApplicationList> applicationsArray_;
    ApplicationRowLook applicationLook_;
    bool saving_ = false;
    bool everyApplication_ = false;
    FileListing fileListing_;
    // The folder the user opened that each such device came from.
    std::map<const DeviceRecord*, std::string> openedFolderOf_;
    // The listed devices whose backups are encrypted, decided once as they are listed.
    std::set<const DeviceRecord*> encrypted_;
    // Lets the catalogue a device choice replaced go, apart from the event thread.
    std::jthread catalogueRelease_;
};

}  // namespace salvora
