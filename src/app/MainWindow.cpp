#include "app/MainWindow.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>

#include "app/ActionFollowsButton.h"
#include "ui_MainWindow.h"
#include "window/BackupSummaryView.h"
#include "window/CalendarsExport.h"
#include "window/CallsExport.h"
#include "window/ContactsExport.h"
#include "window/ControllerTableModel.h"
#include "window/Controls.h"
#include "window/FileFilterModel.h"
#include "window/MessagesExport.h"
#include "window/PhotosExport.h"
#include "window/PreviewLoader.h"
#include "window/PreviewPane.h"
#include "window/QtText.h"
#include "window/RenamedFilesButton.h"
#include "window/SavingSettings.h"
#include "window/SummaryLoader.h"
#include "window/TableModels.h"
#include "window/WhatsAppExport.h"
#include "window/WindowPlacement.h"

namespace salvora {
namespace {

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 48}) icon.addFile(QStringLiteral(":/icons/salvora-%1.png").arg(size));
    return icon;
}

// The local files and folders dropped; the controller tells which hold backups.
std::vector<std::string> droppedFolders(const QMimeData& data) {
    std::vector<std::string> folders;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()) folders.push_back(url.toLocalFile().toStdString());
    return folders;
}

}  // namespace

MainWindow::MainWindow(Panels& panels, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>()), controller_(panels) {
    ui_->setupUi(this);
    setWindowIcon(applicationIcon());
    setAcceptDrops(true);
    // Shown only while their step prepares its list.
    ui_->step2Progress->setHidden(true);
    ui_->step3Progress->setHidden(true);
    restoreWindowPlacement(*this, {ui_->stepsSplitter, ui_->filePreviewSplitter});
    connectOutlets();
    bindTables();
    bindMenus(panels);
    controller_.awakeFromNib();
}

MainWindow::~MainWindow() {
    // The tables ask the controller for their rows as long as they exist, so they go first.
    delete takeCentralWidget();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveWindowPlacement(*this, {ui_->stepsSplitter, ui_->filePreviewSplitter});
    QMainWindow::closeEvent(event);
}

void MainWindow::connectOutlets() {
    controller_.applicationTable = ui_->applicationTable;
    controller_.deviceTable = ui_->deviceTable;
    controller_.fileTable = ui_->fileTable;
    controller_.donateButton = ui_->donateButton;
    controller_.saveAllButton = ui_->saveAllButton;
    controller_.saveFileButton = ui_->saveFileButton;
    controller_.step1Label = ui_->step1Label;
    controller_.step2Label = ui_->step2Label;
    controller_.step3Label = ui_->step3Label;
    controller_.step1Progress = ui_->step1Progress;
    controller_.step2Progress = ui_->step2Progress;
    controller_.step3Progress = ui_->step3Progress;
}

void MainWindow::bindTables() {
    bindTable(controller_, *ui_->deviceTable,
              new DeviceTableModel(controller_, {{tr("Device"), toQString(DeviceName)},
                                                 {tr("Last Backup"), toQString(DeviceDate)},
                                                 {tr("iOS"), toQString(DeviceProductVersion)},
                                                 {tr("Model"), toQString(DeviceProductType)}}));
    bindTable(controller_, *ui_->applicationTable,
              new ApplicationTableModel(controller_, {{tr("Application"), QString()}}));
    QHeaderView* deviceColumns = ui_->deviceTable->horizontalHeader();
    deviceColumns->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column : {1, 2, 3})
        deviceColumns->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    bindFileTable();
    bindDeviceTableMenu();
}

void MainWindow::bindDeviceTableMenu() {
    QTableView& table = *ui_->deviceTable;
    auto* remove = new QAction(tr("&Remove from List"), &table);
    remove->setObjectName(QStringLiteral("removeBackupFolderAction"));
    remove->setStatusTip(tr("Stops listing the backups of a folder you opened"));
    table.setContextMenuPolicy(Qt::ActionsContextMenu);
    table.addAction(remove);
    const auto followSelection = [this, remove] {
        remove->setEnabled(controller_.isOpenedFolderRow(selectedRow(*ui_->deviceTable)));
    };
    connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, this, followSelection);
    connect(table.model(), &QAbstractItemModel::modelReset, this, followSelection);
    followSelection();
    connect(remove, &QAction::triggered, this,
            [this] { controller_.forgetOpenedFolderOfRow(selectedRow(*ui_->deviceTable)); });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFolders(*event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> folders = droppedFolders(*event->mimeData());
    if (folders.empty()) return;
    event->acceptProposedAction();
    controller_.openBackupFolders(folders);
}

void MainWindow::bindFileTable() {
    QTableView& table = *ui_->fileTable;
    fileFilter_ = new FileFilterModel(controller_);
    bindTable(
        controller_, table,
        new FileTableModel(controller_, {{tr("Path"), toQString(DeviceApplicationFileRealName)},
                                         {tr("Size"), toQString(FileSizeColumn)},
                                         {tr("Modified"), toQString(FileModifiedColumn)},
                                         {tr("Application"), toQString(FileApplicationColumn)}}),
        fileFilter_);
    QHeaderView* columns = table.horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(0, QHeaderView::Stretch);
    // A file's name is at the end of its path: cut the middle, so the name stays in view.
    table.setTextElideMode(Qt::ElideMiddle);
    for (int column : {1, 2, 3}) columns->resizeSection(column, column == 1 ? 80 : 130);
    // Rows start in the order the backup lists them; a click on a header sorts.
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    table.setSortingEnabled(true);
    table.setColumnHidden(3, true);
    connect(ui_->fileFilterField, &QLineEdit::textChanged, fileFilter_,
            &FileFilterModel::setFilterText);
    connect(ui_->everyApplicationCheckBox, &QCheckBox::toggled, this, [this](bool every) {
        controller_.setFilesOfEveryApplication(every);
        ui_->fileTable->setColumnHidden(3, !every);
    });
    connect(ui_->filterFilesAction, &QAction::triggered, this, [this] {
        ui_->fileFilterField->setFocus(Qt::ShortcutFocusReason);
        ui_->fileFilterField->selectAll();
    });

    // Double-click or Enter on a file saves it.
    connect(&table, &QTableView::activated, &controller_, [this] {
        if (ui_->saveFileButton->isEnabled()) controller_.saveFilePressed();
    });
    table.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* separator = new QAction(&table);
    separator->setSeparator(true);
    table.addActions({ui_->saveFileAction, ui_->saveSelectedFilesAction, ui_->saveAllFilesAction,
                      separator, ui_->copyPathAction});
    const auto followSelection = [this] {
        const bool any = !selectedRows(*ui_->fileTable).empty();
        ui_->saveSelectedFilesAction->setEnabled(any);
        ui_->copyPathAction->setEnabled(any);
    };
    connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, this, followSelection);
    connect(table.model(), &QAbstractItemModel::modelReset, this, followSelection);
    followSelection();

    // The preview follows the one chosen file, read off the event thread; the controller has
    // taken the choice by now.
    preview_ = new PreviewPane(ui_->previewArea);
    ui_->previewArea->layout()->addWidget(preview_);
    auto* loader = new PreviewLoader(this);
    connect(loader, &PreviewLoader::loaded, preview_, &PreviewPane::showPreview);
    connect(loader, &PreviewLoader::failed, preview_, &PreviewPane::showNothing);
    const auto showChosen = [this, loader] {
        std::optional<PreviewSource> source = controller_.chosenFilePreviewSource();
        if (selectedRow(*ui_->fileTable) < 0 || !source) {
            loader->forget();
            return preview_->showNothing();
        }
        preview_->showLoading();
        loader->load(std::move(*source));
    };
    connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, this, showChosen);
    connect(table.model(), &QAbstractItemModel::modelReset, this, showChosen);
    bindBackupSummary();
}

void MainWindow::bindBackupSummary() {
    // While no file is chosen the pane shows the chosen backup, its counts read off the event
    // thread as they come, so the application table shows at once.
    BackupSummaryView& summary = preview_->backupSummary();
    auto* loader = new SummaryLoader(this);
    connect(loader, &SummaryLoader::factsRead, &summary, &BackupSummaryView::showFacts);
    connect(loader, &SummaryLoader::kindCounted, &summary, &BackupSummaryView::showCount);
    connect(loader, &SummaryLoader::sizeRead, &summary, &BackupSummaryView::showSize);
    connect(&controller_, &MainController::deviceChoiceStarted, this, [this, loader] {
        loader->forget();
        preview_->backupSummary().clear();
        preview_->showNothing();
    });
    connect(&controller_, &MainController::deviceListed, this, [this, loader] {
        std::optional<SummaryJob> job = controller_.chosenDeviceSummaryJob();
        if (!job) return;
        preview_->backupSummary().showDevice(QString::fromStdString(job->name));
        if (selectedRow(*ui_->fileTable) < 0) preview_->showNothing();
        loader->load(std::move(*job));
    });
    summary.setExportAction("photos", ui_->exportPhotosAction);
    summary.setExportAction("messages", ui_->exportMessagesAction);
    summary.setExportAction("whatsapp", ui_->exportWhatsAppAction);
    summary.setExportAction("contacts", ui_->exportContactsAction);
    summary.setExportAction("calls", ui_->exportCallsAction);
    summary.setExportAction("calendars", ui_->exportCalendarsAction);
}

void MainWindow::bindMenus(Panels& panels) {
    connect(ui_->openBackupFolderAction, &QAction::triggered, &controller_,
            &MainController::openBackupFolderPressed);
    connect(ui_->saveFileAction, &QAction::triggered, &controller_,
            &MainController::saveFilePressed);
    makeActionFollowButton(*ui_->saveFileAction, *ui_->saveFileButton);
    // The save-all button stays hidden, so the menu is where the user finds this command.
    connect(ui_->saveAllFilesAction, &QAction::triggered, &controller_,
            &MainController::saveAllPressed);
    makeActionFollowButton(*ui_->saveAllFilesAction, *ui_->saveAllButton);
    auto* renamed = new RenamedFilesButton(statusBar());
    statusBar()->addPermanentWidget(renamed);
    connect(&controller_, &MainController::filesRenamed, renamed, &RenamedFilesButton::showRenamed);
    // Each export of a kind of data, one line each.
    bindExport(*ui_->exportPhotosAction, photosExport(), panels, *renamed);
    bindExport(*ui_->exportMessagesAction, messagesExport(), panels, *renamed);
    bindExport(*ui_->exportWhatsAppAction, whatsAppExport(), panels, *renamed);
    bindExport(*ui_->exportContactsAction, contactsExport(), panels, *renamed);
    bindExport(*ui_->exportCallsAction, callsExport(), panels, *renamed);
    bindExport(*ui_->exportCalendarsAction, calendarsExport(), panels, *renamed);
    ui_->portableNamesAction->setChecked(portableNamesChosen());
    connect(ui_->portableNamesAction, &QAction::toggled, this, &choosePortableNames);
    connect(ui_->saveSelectedFilesAction, &QAction::triggered, &controller_,
            &MainController::saveSelectedPressed);
    connect(ui_->copyPathAction, &QAction::triggered, this, [this] {
        QStringList paths;
        for (const FileRecord& file : controller_.selectedFiles())
            paths << toQString(file.fullpath().value_or(""));
        QGuiApplication::clipboard()->setText(paths.join(QLatin1Char('\n')));
    });
    connect(ui_->quitAction, &QAction::triggered, this, &QWidget::close);

    connect(ui_->websiteAction, &QAction::triggered, &controller_, &MainController::websitePressed);
    connect(ui_->checkForUpdatesAction, &QAction::triggered, &updater_,
            &SUUpdater::checkForUpdates);
    ui_->checkForUpdatesAction->setVisible(!controller_.updatesHidden());
    connect(ui_->aboutAction, &QAction::triggered, this, &MainWindow::showAbout);

    connect(&controller_, &MainController::saveFinished, statusBar(),
            [this](const QString& message) { statusBar()->showMessage(message); });
    for (auto problem : {&MainController::catalogueProblem, &MainController::folderProblem})
        connect(&controller_, problem, statusBar(),
                [this](const QString& message) { statusBar()->showMessage(message); });
}

void MainWindow::bindExport(QAction& action, SourceExport source, Panels& panels,
                            RenamedFilesButton& renamed) {
    auto* command = new SourceExportCommand(controller_, panels, action, std::move(source), this);
    connect(ui_->fileMenu, &QMenu::aboutToShow, command, &SourceExportCommand::updateEnabled);
    // The summary's buttons trigger the action without the menu: it follows the chosen device.
    connect(&controller_, &MainController::deviceListed, command,
            &SourceExportCommand::updateEnabled);
    connect(command, &SourceExportCommand::exportFinished, statusBar(),
            [this](const QString& message) { statusBar()->showMessage(message); });
    connect(command, &SourceExportCommand::filesRenamed, &renamed,
            &RenamedFilesButton::showRenamed);
}

void MainWindow::showAbout() {
    QMessageBox::about(this, tr("About Salvora"),
                       tr("<b>Salvora %1</b><p>Gets files back out of the iPhone backups that "
                          "the desktop sync service keeps on this computer. It never changes a "
                          "backup.</p>")
                           .arg(QStringLiteral(SALVORA_VERSION)));
}

}  // namespace salvora
