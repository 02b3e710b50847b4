#include "window/PreviewPane.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "window/BackupSummaryView.h"
#include "window/NamedWidget.h"
#include "window/QtText.h"

namespace salvora {
PreviewPane::PreviewPane(QWidget* parent)
    : QWidget(parent),
      summary_(named(new QLabel(this), "previewSummary", tr("What the chosen file is"))),
      pages_(named(new QStackedWidget(this), "previewPages", tr("Preview"))),
      image_(named(new QLabel(pages_), "previewImage", tr("Image of the chosen file"))),
      text_(named(new QPlainTextEdit(pages_), "previewText", tr("Contents of the chosen file"))),
      tables_(named(new QTableWidget(0, 2, pages_), "previewTables",
                    tr("Tables of the chosen database"))),
      backupSummary_(new BackupSummaryView(pages_)) {
    setObjectName(QStringLiteral("previewPane"));
    setAccessibleName(tr("Preview of the chosen file"));
    image_->setAlignment(Qt::AlignCenter);
    image_->setMinimumSize(1, 1);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFont(QStringLiteral("monospace")));
    tables_->setHorizontalHeaderLabels({tr("Table"), tr("Rows")});
    tables_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tables_->verticalHeader()->setVisible(false);
    tables_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (QWidget* page : {static_cast<QWidget*>(image_), static_cast<QWidget*>(text_),
                          static_cast<QWidget*>(tables_), static_cast<QWidget*>(backupSummary_)})
        pages_->addWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(summary_);
    layout->addWidget(pages_, 1);
    showNothing();
}

void PreviewPane::showPreview(const Preview& preview) {
    summary_->setVisible(true);
    summary_->setText(preview.summary);
    switch (preview.kind) {
        case Preview::Kind::Image:
            image_->setPixmap(QPixmap::fromImage(
                preview.image.width() > 512 || preview.image.height() > 512
                    ? preview.image.scaled(512, 512, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                    : preview.image));
            pages_->setCurrentWidget(image_);
            break;
        case Preview::Kind::Tables:
            tables_->setRowCount(static_cast<int>(preview.tables.size()));
            for (int row = 0; row < tables_->rowCount(); ++row) {
                const SqliteTableSize& table = preview.tables[static_cast<std::size_t>(row)];
                tables_->setItem(row, 0, new QTableWidgetItem(toQString(table.name)));
                tables_->setItem(row, 1, new QTableWidgetItem(QString::number(table.rows)));
            }
            pages_->setCurrentWidget(tables_);
            break;
        case Preview::Kind::Text:
        case Preview::Kind::Bytes:
            text_->setPlainText(preview.text);
            pages_->setCurrentWidget(text_);
            break;
    }
}

void PreviewPane::showLoading() { showNothing(tr("Loading…")); }

void PreviewPane::showNothing(const QString& why) {
    text_->clear();
    const bool backup = why.isEmpty() && backupSummary_->hasDevice();
    summary_->setVisible(!backup);
    summary_->setText(why.isEmpty() ? tr("Choose a file to see it here.") : why);
    pages_->setCurrentWidget(backup ? static_cast<QWidget*>(backupSummary_) : text_);
}

}  // namespace salvora
