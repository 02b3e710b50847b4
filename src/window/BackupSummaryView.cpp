#include "window/BackupSummaryView.h"

#include <algorithm>

#include <QAction>
#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "window/NamedWidget.h"
#include "window/QtText.h"

namespace salvora {
namespace {

QString textOr(const std::optional<std::string>& text, const QString& otherwise) {
    return text && !text->empty() ? QString::fromStdString(*text) : otherwise;
}

}  // namespace

BackupSummaryView::BackupSummaryView(QWidget* parent)
    : QWidget(parent), heading_(named(new QLabel(this), "summaryDevice", tr("Chosen backup"))) {
    setObjectName(QStringLiteral("backupSummary"));
    setAccessibleName(tr("What the chosen backup holds"));
    QFont bold = heading_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading_->setFont(bold);

    auto* form = new QFormLayout;
    model_ = addFact(*form, "summaryModel", tr("Model"));
    iosVersion_ = addFact(*form, "summaryIosVersion", tr("iOS"));
    date_ = addFact(*form, "summaryDate", tr("Backup date"));
    encrypted_ = addFact(*form, "summaryEncrypted", tr("Encrypted"));
    size_ = addFact(*form, "summarySize", tr("Size on disk"));
    applications_ = addFact(*form, "summaryApplications", tr("Applications"));
    files_ = addFact(*form, "summaryFiles", tr("Files"));

    auto* caption = named(new QLabel(tr("What can be exported"), this), "summaryExportCaption",
                          tr("What can be exported"));
    caption->setFont(QFont(caption->font().family(), caption->font().pointSize(), QFont::Bold));
    auto* grid = new QGridLayout;
    for (const ExportableKind& kind : exportableKinds()) {
        const QString key = toQString(kind.key);
        const QString title = toQString(kind.title);
        KindRow row{
            new QLabel(title, this),
            named(new QLabel(this), (key + "Count").toLatin1().constData(), title),
            named(new QPushButton(tr("Export…"), this),
                  (key + "ExportButton").toLatin1().constData(), tr("Export %1").arg(title))};
        const int at = grid->rowCount();
        grid->addWidget(row.title, at, 0);
        grid->addWidget(row.count, at, 1);
        grid->addWidget(row.button, at, 2);
        row.title->setBuddy(row.button);
        const std::size_t index = kinds_.size();
        connect(row.button, &QPushButton::clicked, this, [this, index] {
            if (QAction* action = kinds_[index].action) action->trigger();
        });
        kinds_.push_back(row);
    }
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(caption);
    layout->addLayout(grid);
    layout->addStretch(1);
    clear();
}

QLabel* BackupSummaryView::addFact(QFormLayout& form, const char* objectName,
                                   const QString& caption) {
    auto* value = named(new QLabel(this), objectName, caption);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* label = new QLabel(caption + ":", this);
    label->setBuddy(value);
    form.addRow(label, value);
    facts_.push_back(value);
    captions_.push_back(caption);
    return value;
}

void BackupSummaryView::setFact(QLabel& label, const QString& text) {
    label.setText(text);
    const auto at = std::find(facts_.begin(), facts_.end(), &label) - facts_.begin();
    label.setAccessibleName(captions_[static_cast<std::size_t>(at)] + ": " + text);
}

void BackupSummaryView::setExportAction(std::string_view key, QAction* action) {
    const auto all = exportableKinds();
    for (std::size_t at = 0; at < all.size(); ++at)
        if (all[at].key == key) kinds_[at].action = action;
}

void BackupSummaryView::showDevice(const QString& name) {
    clear();
    hasDevice_ = true;
    heading_->setText(name);
    heading_->setAccessibleName(tr("Chosen backup: %1").arg(name));
    const QString reading = tr("Reading…");
    for (QLabel* fact : facts_) setFact(*fact, reading);
    for (KindRow& row : kinds_) {
        row.count->setText(reading);
        row.count->setAccessibleName(row.title->text() + ": " + reading);
        row.button->setEnabled(false);
        for (QWidget* widget : {static_cast<QWidget*>(row.title), static_cast<QWidget*>(row.count),
                                static_cast<QWidget*>(row.button)})
            widget->setVisible(true);
    }
}

void BackupSummaryView::clear() {
    hasDevice_ = false;
    heading_->clear();
    for (QLabel* fact : facts_) setFact(*fact, {});
    for (KindRow& row : kinds_) {
        row.count->clear();
        row.button->setEnabled(false);
    }
}

void BackupSummaryView::showFacts(const BackupFacts& facts) {
    const QLocale locale;
    const QString unknown = tr("unknown");
    setFact(*model_, textOr(facts.model, unknown));
    setFact(*iosVersion_, textOr(facts.iosVersion, unknown));
    setFact(*date_, textOr(facts.date, unknown));
    setFact(*encrypted_, facts.encrypted ? tr("yes") : tr("no"));
    setFact(*applications_, locale.toString(static_cast<qulonglong>(facts.applications)));
    setFact(*files_, locale.toString(static_cast<qulonglong>(facts.files)));
}

void BackupSummaryView::showCount(std::size_t kind, const HeldCount& count) {
    if (kind >= kinds_.size()) return;
    KindRow& row = kinds_[kind];
    const QString text = QString::fromStdString(heldText(count));
    row.count->setText(text);
    row.count->setToolTip(count.problem ? QString::fromStdString(*count.problem) : QString());
    row.count->setAccessibleName(row.title->text() + ": " + text);
    row.button->setEnabled(count.held && row.action != nullptr);
    // Only what the backup holds is listed.
    for (QWidget* widget : {static_cast<QWidget*>(row.title), static_cast<QWidget*>(row.count),
                            static_cast<QWidget*>(row.button)})
        widget->setVisible(count.held);
}

void BackupSummaryView::showSize(std::optional<std::uint64_t> bytes) {
    setFact(*size_, bytes ? QString::fromStdString(byteSizeText(*bytes)) : tr("unknown"));
}

}  // namespace salvora
