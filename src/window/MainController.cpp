#include "window/MainController.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <climits>
#include <ctime>
#include <utility>

#include "crypto/Password.h"
#include "discovery/Discovery.h"
#include "foundation/DateText.h"
#include "foundation/HomeDirectory.h"
#include "recovery/Recovery.h"
#include "recovery/StoredDatabase.h"
#include "window/BackgroundWork.h"
#include "window/ControllerTableModel.h"
#include "window/Controls.h"
#include "window/DeviceDetails.h"
#include "window/LongSave.h"
#include "window/Panels.h"
#include "window/QtText.h"
#include "window/SaveOutcomeMessage.h"
#include "window/SavingSettings.h"

namespace salvora {
namespace {

// Rows arrive signed and are compared unsigned, so a negative row is never valid.
bool isValidRow(int row, std::size_t count) { return static_cast<unsigned>(row) < count; }

std::size_t rowIndex(int row) { return static_cast<unsigned>(row); }

int rowCount(std::size_t count) { return static_cast<int>(std::min<std::size_t>(count, INT_MAX)); }

// An absent list counts as an empty one wherever rows are counted or indexed.
const ApplicationList& listOrEmpty(const std::optional<ApplicationList>& applications) {
    static const ApplicationList none;
    return applications ? *applications : none;
}

QString textOrFallback(std::optional<std::string_view> text, std::string_view fallback) {
    return toQString(text && !text->empty() ? *text : fallback);
}

// The device as the device table names it.
QString deviceNameText(const DeviceRecord& device) {
    return QString::fromStdString(deviceDisplayText(device));
}

QString fileCellText(const FileRow& row, const QString& columnIdentifier,
                     const std::optional<TranslationNames>& translationNames) {
    const FileRecord& file = row.file;
    if (columnIdentifier == toQString(FileSizeColumn))
        return file.size() ? QLocale().formattedDataSize(static_cast<qint64>(*file.size()))
                           : QString();
    if (columnIdentifier == toQString(FileModifiedColumn))
        return file.modificationTime()
                   ? QString::fromStdString(dateText(std::chrono::system_clock::from_time_t(
                         static_cast<std::time_t>(*file.modificationTime()))))
                   : QString();
    if (columnIdentifier == toQString(FileApplicationColumn))
        return QString::fromStdString(applicationDisplayText(*row.application, translationNames));
    return textOrFallback(file.fullpath(), "(Unknown File Name)");
}

// The folders opened by the user, in the order opened, for the next starts.
const QString openedFoldersKey = QStringLiteral("openedBackupFolders");

std::vector<std::string> rememberedFolders() {
    std::vector<std::string> folders;
    for (const QString& folder : QSettings().value(openedFoldersKey).toStringList())
        folders.push_back(folder.toStdString());
    return folders;
}

void rememberFolders(const std::vector<std::string>& folders) {
    QStringList list;
    for (const std::string& folder : folders) list << QString::fromStdString(folder);
    QSettings().setValue(openedFoldersKey, list);
}

void openProductPage(Panels& panels) { panels.openUrl(QUrl(toQString(ProductPage))); }

void show(QProgressBar& indicator) {
    indicator.setHidden(false);
    startSpinning(indicator);
}

void hide(QProgressBar& indicator) {
    indicator.setHidden(true);
    stopSpinning(indicator);
}

}  // namespace

MainController::MainController(Panels& panels, QObject* parent)
    : QObject(parent), panels_(panels) {}

MainController::~MainController() = default;

void MainController::openBackupFolderPressed() {
    if (auto folder = panels_.chooseFolder(homeDirectory())) openBackupFolders({*folder});
}

void MainController::openBackupFolders(const std::vector<std::string>& folders) {
    std::vector<std::string> remembered = rememberedFolders();
    std::vector<int> rows;
    for (const std::string& folder : folders) {
        const std::vector<int> added = addDevicesOfFolder(folder);
        if (added.empty()) {
            emit folderProblem(tr("%1 holds no backup.").arg(QString::fromStdString(folder)));
            continue;
        }
        rows.insert(rows.end(), added.begin(), added.end());
        if (std::find(remembered.begin(), remembered.end(), folder) == remembered.end())
            remembered.push_back(folder);
    }
    rememberFolders(remembered);
    reloadDeviceTable();
    if (rows.empty()) return;
    deviceTable->selectionModel()->select(
        deviceTable->model()->index(rows.back(), 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::vector<int> MainController::addDevicesOfFolder(const std::string& folder) {
    std::vector<int> rows;
    for (std::shared_ptr<DeviceRecord>& device : devicesInFolder(folder)) {
        auto listed = std::find_if(allDevices_.begin(), allDevices_.end(), [&](const auto& each) {
            return each->directory == device->directory;
        });
        if (listed == allDevices_.end()) {
            openedFolderOf_.emplace(device.get(), folder);
            list(std::move(device));
            listed = allDevices_.end() - 1;
        }
        rows.push_back(static_cast<int>(listed - allDevices_.begin()));
    }
    return rows;
}

void MainController::list(std::shared_ptr<DeviceRecord> device) {
    if (isEncryptedBackup(*device)) encrypted_.insert(device.get());
    allDevices_.push_back(std::move(device));
}

bool MainController::isOpenedFolderRow(int row) const {
    return isValidRow(row, allDevices_.size()) &&
           openedFolderOf_.contains(allDevices_[rowIndex(row)].get());
}

void MainController::forgetOpenedFolderOfRow(int row) {
    if (!isOpenedFolderRow(row)) return;
    const std::string folder = openedFolderOf_.at(allDevices_[rowIndex(row)].get());
    std::vector<std::string> remembered = rememberedFolders();
    std::erase(remembered, folder);
    rememberFolders(remembered);
    // The chosen device stays chosen, with its lists, until another is chosen.
    std::erase_if(allDevices_, [&](const std::shared_ptr<DeviceRecord>& device) {
        auto found = openedFolderOf_.find(device.get());
        if (found == openedFolderOf_.end() || found->second != folder) return false;
        openedFolderOf_.erase(found);
        encrypted_.erase(device.get());
        return true;
    });
    deselectAll(*deviceTable);
    reloadDeviceTable();
}

std::optional<PreviewSource> MainController::chosenFilePreviewSource() const {
    if (!selectedDevice_ || !selectedFile_) return std::nullopt;
    return PreviewSource{selectedDevice_->directory, selectedFile_, selectedFileWal_,
                         catalog_.keybagFor(selectedDevice_->directory),
                         selectedDevice_->applications};
}

std::optional<SummaryJob> MainController::chosenDeviceSummaryJob() const {
    if (!selectedDevice_) return std::nullopt;
    return SummaryJob{*selectedDevice_, deviceDisplayText(*selectedDevice_),
                      listOrEmpty(applicationsArray_).size(),
                      catalog_.keybagFor(selectedDevice_->directory)};
}

void MainController::websitePressed() { openProductPage(panels_); }

void MainController::donatePressed() { openProductPage(panels_); }

void MainController::saveFilePressed() {
    // The button is enabled only with a file chosen; a stray call must not reach a null record.
    if (saving_ || !selectedDevice_ || !selectedFile_) return;
    const std::optional<std::string> target =
        panels_.chooseSavePath(proposedFileName(*selectedFile_));
    if (!target) return;
    saving_ = true;
    // A video of gigabytes takes a while: the copy runs behind the dialog too. Its Cancel
    // can't cut the file short, which appears whole or not at all.
    const std::shared_ptr<DeviceRecord> device = selectedDevice_;
    const std::shared_ptr<const FileRecord> file = selectedFile_;
    const std::shared_ptr<const UnlockedKeybag> keybag = catalog_.keybagFor(device->directory);
    const SaveOptions saveOptions{portableNamesChosen()};
    std::optional<FileOutcome> outcome;
    runLongSave(fileTable->window(), tr("Saving File"), [&](const SaveProgress& progress) {
        const std::uint64_t size = file->size().value_or(0);
        if (!progress({0, 1, 0, size, file->fullpath().value_or("")})) return;
        outcome = saveFile(device->directory, *file, *target, keybag.get(), saveOptions);
        progress({1, 1, size, size, {}});
    });
    saving_ = false;
    emit saveFinished(
        QString::fromStdString(outcome ? saveFileMessage(*outcome) : cancelledSaveMessage(0, 1)));
    emit filesRenamed(outcome ? renamedFiles({*outcome}) : std::vector<FileOutcome>{});
}

void MainController::saveAllPressed() {
    if (!selectedDevice_ || !selectedApplication_) return;
    saveBelowChosenFolder(selectedApplication_->files, tr("Saving All Files"));
}

void MainController::saveSelectedPressed() {
    if (!selectedDevice_) return;
    const std::vector<FileRecord> files = selectedFiles();
    if (!files.empty()) saveBelowChosenFolder(files, tr("Saving Selected Files"));
}

std::vector<FileRecord> MainController::selectedFiles() const {
    std::vector<FileRecord> files;
    for (int row : selectedRows(*fileTable))
        if (isValidRow(row, fileListing_.size()))
            files.push_back(fileListing_.at(rowIndex(row)).file);
    return files;
}

void MainController::saveBelowChosenFolder(const std::vector<FileRecord>& files,
                                           const QString& title) {
    // One long save at a time; its dialog also keeps the window from starting another.
    if (saving_) return;
    const std::optional<std::string> destination = panels_.chooseFolder(homeDirectory());
    if (!destination) return;
    saving_ = true;
    // The job holds what it reads, whatever the window chooses meanwhile: the records' texts
    // lie in their applications.
    const std::shared_ptr<DeviceRecord> device = selectedDevice_;
    const ApplicationList applications = listOrEmpty(applicationsArray_);
    const std::shared_ptr<const UnlockedKeybag> keybag = catalog_.keybagFor(device->directory);
    const SaveOptions saveOptions{portableNamesChosen()};
    std::vector<FileOutcome> outcomes;
    const bool cancelled =
        runLongSave(fileTable->window(), title, [&](const SaveProgress& progress) {
            outcomes = saveAll(device->directory, files, *destination, progress, keybag.get(),
                               saveOptions);
        });
    saving_ = false;
    std::string message = saveAllMessage(outcomes, *destination);
    if (cancelled) message = cancelledSaveMessage(outcomes.size(), files.size()) + " " + message;
    emit saveFinished(QString::fromStdString(message));
    emit filesRenamed(renamedFiles(outcomes));
}

void MainController::tableViewSelectionDidChange(QTableView* table) {
    if (table == nullptr) return;
    const int row = selectedRow(*table);
    if (table == deviceTable)
        deviceRowSelected(row);
    else if (table == applicationTable)
        applicationRowSelected(row);
    else if (table == fileTable)
        fileRowSelected(row);
}

void MainController::deviceRowSelected(int row) {
    if (!isValidRow(row, allDevices_.size())) return;
    selectedDevice_ = allDevices_[rowIndex(row)];
    deviceSelected(*selectedDevice_);
}

void MainController::applicationRowSelected(int row) {
    const ApplicationList& applications = listOrEmpty(applicationsArray_);
    if (!isValidRow(row, applications.size())) return;
    selectedApplication_ = applications[rowIndex(row)];
    applicationSelected(*selectedApplication_);
}

void MainController::fileRowSelected(int row) {
    if (!isValidRow(row, fileListing_.size())) return;
    const FileRow file = fileListing_.at(rowIndex(row));
    // Files are held by value in their application, so the selection shares its ownership.
    selectedFile_ = std::shared_ptr<const FileRecord>(file.application, &file.file);
    const FileRecord* wal = walRecordAmong(file.application->files, file.file);
    selectedFileWal_ =
        wal != nullptr ? std::shared_ptr<const FileRecord>(file.application, wal) : nullptr;
    fileSelected(*selectedFile_);
}

void MainController::fileSelected(const FileRecord& /*file*/) { saveFileButton->setEnabled(true); }

void MainController::applicationSelected(const ApplicationRecord& /*application*/) {
    show(*step3Progress);
    fileTable->setEnabled(true);
    saveAllButton->setEnabled(true);
    saveFileButton->setEnabled(false);
    setCaptionColour(*step3Label, openStepColour());
    deselectRow(*fileTable, selectedRow(*fileTable));
    hide(*step3Progress);
    refreshFileListing();
    reloadData(*fileTable);
}

void MainController::setFilesOfEveryApplication(bool every) {
    everyApplication_ = every;
    refreshFileListing();
    reloadData(*fileTable);
}

void MainController::refreshFileListing() {
    if (!selectedApplication_)
        fileListing_ = FileListing();
    else if (everyApplication_)
        fileListing_ = FileListing(listOrEmpty(applicationsArray_));
    else
        fileListing_ = FileListing({selectedApplication_});
}

void MainController::deviceSelected(DeviceRecord& device) {
    emit deviceChoiceStarted();
    deselectAll(*applicationTable);
    if (!applicationsArray_) applicationsArray_.emplace();
    applicationsArray_->clear();
    applicationLook_.forget();
    show(*step2Progress);
    reloadData(*applicationTable);
    setCaptionColour(*step2Label, openStepColour());
    deselectRow(*fileTable, selectedRow(*fileTable));
    fileTable->setEnabled(false);
    saveAllButton->setEnabled(false);
    setCaptionColour(*step3Label, unreachableStepColour());
    saveFileButton->setEnabled(false);
    selectedApplication_.reset();
    selectedFile_.reset();
    selectedFileWal_.reset();
    refreshFileListing();
    reloadData(*fileTable);

    // Letting a large catalogue go takes a good part of what building it took, so the device's
    // previous one is kept through the build and let go on a thread of its own once the new
    // one is shown. Nothing else holds it any more: the tables and selections were emptied
    // above.
    std::shared_ptr<const ApplicationMap> previous = std::exchange(device.applications, nullptr);
    // While the build reads the backup, the tables it could touch have no rows to draw.
    const Result<ApplicationList> build = buildCatalogUnlocking(device);
    // A password not given leaves the backup unlisted without a word.
    if (!build && build.error().kind != ErrorKind::NeedsPassword)
        emit catalogueProblem(QString::fromStdString(build.error().description()));
    if (build) applicationsArray_->insert(applicationsArray_->end(), build->begin(), build->end());

    hide(*step2Progress);
    applicationTable->setEnabled(true);
    reloadData(*applicationTable);
    emit deviceListed();
    // Waits for the catalogue let go at the choice before, should it still be going. A first
    // choice of the device has nothing to let go.
    if (previous)
        catalogueRelease_ =
            std::jthread([previous = std::move(previous)]() mutable { previous.reset(); });
}

Result<ApplicationList> MainController::buildCatalogUnlocking(DeviceRecord& device) {
    Result<ApplicationList> build = ApplicationList();
    runWhileHandlingEvents([&] { build = catalog_.buildCatalog(device); });
    bool wrongBefore = false;
    while (!build && build.error().kind == ErrorKind::NeedsPassword) {
        std::optional<std::string> answer =
            panels_.askPassword(deviceNameText(device).toStdString(), wrongBefore);
        if (!answer) return build;
        Status unlocked;
        {
            const Password password(*answer);
            Password::wipe(*answer);
            // The key derivation takes seconds; the step-2 indicator keeps spinning meanwhile.
            runWhileHandlingEvents(
                [&] { unlocked = catalog_.unlockBackup(device.directory, password.text()); });
        }
        wrongBefore = !unlocked;
        if (wrongBefore && unlocked.error().kind != ErrorKind::WrongPassword)
            return unlocked.error();
        if (!wrongBefore) runWhileHandlingEvents([&] { build = catalog_.buildCatalog(device); });
    }
    return build;
}

const UnlockedKeybag* MainController::selectedKeybag() const {
    return catalog_.keybagFor(selectedDevice_->directory).get();
}

std::shared_ptr<ApplicationRecord> MainController::getOrCreateApplicationNamed(
    std::string_view name, ApplicationMap& applications) {
    return salvora::getOrCreateApplicationNamed(name, applications);
}

std::optional<QString> MainController::objectValueForTableColumn(const QTableView* table,
                                                                 const QString& columnIdentifier,
                                                                 int row) const {
    if (table == deviceTable) return deviceCell(columnIdentifier, row);
    if (table == applicationTable) return applicationCell(row);
    if (table == fileTable) return fileCell(columnIdentifier, row);
    return QString();
}

int MainController::numberOfRowsInTableView(const QTableView* table) {
    if (table == deviceTable) {
        hide(*step1Progress);
        return deviceRowCount();
    }
    if (table == applicationTable) return applicationRowCount();
    if (table == fileTable) return fileRowCount();
    return 0;
}

int MainController::deviceRowCount() const { return rowCount(allDevices_.size()); }

std::optional<QString> MainController::deviceCell(const QString& columnIdentifier, int row) const {
    if (!isValidRow(row, allDevices_.size())) return QString();
    const DeviceRecord& device = *allDevices_[rowIndex(row)];
    if (columnIdentifier == toQString(DeviceName)) return deviceNameText(device);
    if (columnIdentifier == toQString(DeviceProductVersion))
        return QString::fromStdString(device.productVersion.value_or(""));
    if (columnIdentifier == toQString(DeviceProductType))
        return QString::fromStdString(device.productType.value_or(""));
    if (columnIdentifier == toQString(DeviceDate)) {
        if (!device.date) return std::nullopt;
        return QString::fromStdString(*device.date);
    }
    return QString();
}

bool MainController::isEncryptedDevice(int row) const {
    return isValidRow(row, allDevices_.size()) &&
           encrypted_.contains(allDevices_[rowIndex(row)].get());
}

QString MainController::deviceToolTip(int row) const {
    if (!isValidRow(row, allDevices_.size())) return {};
    const DeviceRecord& device = *allDevices_[rowIndex(row)];
    QString text = QString::fromStdString(device.directory);
    const CatalogReading* reading = catalog_.readingOf(device.directory);
    if (reading && device.applications && device.applications->empty())
        text +=
            "\n" + tr("Lists nothing: %1").arg(QString::fromStdString(whyNothingListed(*reading)));
    return text;
}

int MainController::applicationRowCount() const {
    return rowCount(listOrEmpty(applicationsArray_).size());
}

QString MainController::applicationCell(int row) const {
    const ApplicationList& applications = listOrEmpty(applicationsArray_);
    if (!isValidRow(row, applications.size())) return QString();
    return QString::fromStdString(
        applicationDisplayText(*applications[rowIndex(row)], catalog_.translationNames()));
}

int MainController::fileRowCount() const { return rowCount(fileListing_.size()); }

QString MainController::fileCell(const QString& columnIdentifier, int row) const {
    if (!isValidRow(row, fileListing_.size())) return QString();
    return fileCellText(fileListing_.at(rowIndex(row)), columnIdentifier,
                        catalog_.translationNames());
}

QVariant MainController::applicationRowLook(int row, int role) {
    const ApplicationList& applications = listOrEmpty(applicationsArray_);
    if (!selectedDevice_ || !isValidRow(row, applications.size())) return {};
    return applicationLook_.value(*applications[rowIndex(row)], selectedDevice_->directory, role);
}

void MainController::awakeFromNib() {
    // Qt has no threaded animation to switch on: the indicators keep moving because the one
    // long step, the catalogue build, runs off the event thread (deviceSelected).
    startSpinning(*step1Progress);
    setCaptionColour(*step2Label, unreachableStepColour());
    setCaptionColour(*step3Label, unreachableStepColour());
    applicationTable->setEnabled(false);
    fileTable->setEnabled(false);
    saveAllButton->setHidden(true);
    saveAllButton->setEnabled(false);
    saveFileButton->setEnabled(false);
    connect(saveAllButton, &QPushButton::clicked, this, &MainController::saveAllPressed,
            Qt::UniqueConnection);
    connect(saveFileButton, &QPushButton::clicked, this, &MainController::saveFilePressed,
            Qt::UniqueConnection);
    connect(donateButton, &QPushButton::clicked, this, &MainController::donatePressed,
            Qt::UniqueConnection);
    for (std::shared_ptr<DeviceRecord>& device : getDevices()) list(std::move(device));
    // Folders opened at earlier starts follow the backups found; one gone since lists nothing.
    for (const std::string& folder : rememberedFolders()) addDevicesOfFolder(folder);
    reloadDeviceTable();
}

void MainController::reloadDeviceTable() {
    reloadData(*deviceTable);
    hide(*step1Progress);
}

}  // namespace salvora
