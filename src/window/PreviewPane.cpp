#include "window/PreviewPane.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "foundation/DateText.h"
#include "window/BackupSummaryView.h"
#include "window/NamedWidget.h"
#include "window/QtText.h"

namespace salvora {
namespace {

// "11/14/23 10:13PM", in this computer's time zone as the file table's dates; empty when no
// date was recorded.
QString dateShown(const std::optional<UnixMillis>& date) {
    if (!date) return {};
    return toQString(
        dateText(std::chrono::system_clock::time_point(std::chrono::milliseconds(*date))));
}

QTableWidget* listing(QTableWidget* table, const QStringList& headers) {
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

}  // namespace

PreviewPane::PreviewPane(QWidget* parent)
    : QWidget(parent),
      summary_(named(new QLabel(this), "previewSummary", tr("What the chosen file is"))),
      pages_(named(new QStackedWidget(this), "previewPages", tr("Preview"))),
      image_(named(new QLabel(pages_), "previewImage", tr("Image of the chosen file"))),
      text_(named(new QPlainTextEdit(pages_), "previewText", tr("Contents of the chosen file"))),
      tables_(named(new QTableWidget(0, 2, pages_), "previewTables",
                    tr("Tables of the chosen database"))),
      backupSummary_(new BackupSummaryView),
      backupSummaryPage_(
          named(new QScrollArea(pages_), "backupSummaryPage", tr("What the chosen backup holds"))),
      conversations_(named(new QTableWidget(0, 3, pages_), "previewConversations",
                           tr("Conversations of the chosen database"))) {
    setObjectName(QStringLiteral("previewPane"));
    setAccessibleName(tr("Preview of the chosen file"));
    image_->setAlignment(Qt::AlignCenter);
    image_->setMinimumSize(1, 1);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFont(QStringLiteral("monospace")));
    listing(tables_, {tr("Table"), tr("Rows")});
    listing(conversations_, {tr("Conversation"), tr("Messages"), tr("Last message")});
    // A pane too low for the whole summary scrolls rather than squeezing its lines together.
    backupSummaryPage_->setWidget(backupSummary_);
    backupSummaryPage_->setWidgetResizable(true);
    backupSummaryPage_->setFrameShape(QFrame::NoFrame);
    for (QWidget* page : {static_cast<QWidget*>(image_), static_cast<QWidget*>(text_),
                          static_cast<QWidget*>(tables_), static_cast<QWidget*>(backupSummaryPage_),
                          static_cast<QWidget*>(conversations_)})
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
        case Preview::Kind::Conversations:
            conversations_->setRowCount(static_cast<int>(preview.conversations.size()));
            for (int row = 0; row < conversations_->rowCount(); ++row) {
                const ConversationOutline& outline =
                    preview.conversations[static_cast<std::size_t>(row)];
                conversations_->setItem(row, 0, new QTableWidgetItem(toQString(outline.title)));
                conversations_->setItem(
                    row, 1, new QTableWidgetItem(QString::number(outline.messageCount)));
                conversations_->setItem(row, 2, new QTableWidgetItem(dateShown(outline.lastDate)));
            }
            pages_->setCurrentWidget(conversations_);
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
    pages_->setCurrentWidget(backup ? static_cast<QWidget*>(backupSummaryPage_) : text_);
}

}  // namespace salvora
