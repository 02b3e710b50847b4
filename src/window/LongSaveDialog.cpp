#include "window/LongSaveDialog.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "window/NamedWidget.h"
#include "window/QtText.h"

namespace salvora {
namespace {

// The bar counts bytes where the catalogue records sizes, else files, in thousandths.
int thousandthsDone(const SaveStatus& status) {
    constexpr int whole = 1000;
    if (status.bytesTotal > 0)
        return static_cast<int>(status.bytesDone * whole / status.bytesTotal);
    if (status.filesTotal > 0)
        return static_cast<int>(status.filesDone * whole / status.filesTotal);
    return whole;
}

}  // namespace

QString saveStatusText(const SaveStatus& status) {
    const QLocale locale;
    QString text = QObject::tr("%1 of %2 files")
                       .arg(locale.toString(static_cast<qulonglong>(status.filesDone)),
                            locale.toString(static_cast<qulonglong>(status.filesTotal)));
    if (status.bytesTotal > 0)
        text += QObject::tr(", %1 of %2")
                    .arg(locale.formattedDataSize(static_cast<qint64>(status.bytesDone)),
                         locale.formattedDataSize(static_cast<qint64>(status.bytesTotal)));
    return text;
}

LongSaveDialog::LongSaveDialog(const QString& title, QWidget* parent)
    : QDialog(parent),
      countLabel_(named(new QLabel(this), "longSaveCountLabel", tr("Files saved"))),
      currentLabel_(named(new QLabel(this), "longSaveCurrentLabel", tr("File being saved"))),
      bar_(named(new QProgressBar(this), "longSaveProgress", tr("Save progress"))),
      cancelButton_(named(new QPushButton(tr("Cancel"), this), "longSaveCancelButton",
                          tr("Cancel the save"))) {
    setObjectName(QStringLiteral("longSaveDialog"));
    setWindowTitle(title);
    setAccessibleName(title);
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(420);
    currentLabel_->setTextFormat(Qt::PlainText);
    currentLabel_->setWordWrap(true);
    bar_->setRange(0, 1000);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(countLabel_);
    layout->addWidget(currentLabel_);
    layout->addWidget(bar_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    connect(cancelButton_, &QPushButton::clicked, this, &LongSaveDialog::reject);
}

void LongSaveDialog::showStatus(const SaveStatus& status) {
    countLabel_->setText(saveStatusText(status));
    if (!cancelRequested()) currentLabel_->setText(toQString(status.current));
    bar_->setValue(thousandthsDone(status));
    emit statusShown(status);
}

void LongSaveDialog::reject() {
    cancelRequested_ = true;
    cancelButton_->setEnabled(false);
    currentLabel_->setText(tr("Stopping after the file being saved…"));
}

}  // namespace salvora
