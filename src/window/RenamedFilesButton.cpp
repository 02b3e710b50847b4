#include "window/RenamedFilesButton.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "window/NamedWidget.h"

namespace salvora {

RenamedFilesButton::RenamedFilesButton(QWidget* parent) : QPushButton(parent) {
    named(this, "renamedFilesButton", tr("Renamed files"));
    setFlat(true);
    setHidden(true);
    connect(this, &QPushButton::clicked, this, &RenamedFilesButton::openList);
}

void RenamedFilesButton::showRenamed(const std::vector<FileOutcome>& renamed) {
    renamed_ = renamed;
    setText(tr("%n Renamed…", nullptr, static_cast<int>(renamed_.size())));
    setToolTip(tr("Files saved under a name the drive takes, instead of their own"));
    setHidden(renamed_.empty());
}

void RenamedFilesButton::openList() {
    auto* dialog = named(new QDialog(window()), "renamedFilesDialog", tr("Renamed Files"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Renamed Files"));
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(
        tr("These files were saved under a name the drive takes (phone name → saved as):"),
        dialog));
    auto* list = named(new QListWidget(dialog), "renamedFilesList", tr("Renamed files"));
    for (const FileOutcome& outcome : renamed_)
        list->addItem(QString::fromStdString(outcome.target + "  →  " + *outcome.savedAs));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    dialog->resize(720, 360);
    dialog->show();
}

}  // namespace salvora
