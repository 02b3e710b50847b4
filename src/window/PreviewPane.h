#pragma once

// The pane below the file table that shows the chosen file without saving it, and the chosen
// backup at a glance while no file is chosen.
#include <QWidget>

#include "window/Preview.h"

class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QStackedWidget;
class QTableWidget;

namespace salvora {

class BackupSummaryView;

class PreviewPane final : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewPane(QWidget* parent = nullptr);

    void showPreview(const Preview& preview);
    // The chosen file is being read.
    void showLoading();
    // No file chosen: the chosen backup's summary where there is one; or why the file can't be
    // shown.
    void showNothing(const QString& why = {});
    // The chosen backup at a glance, filled in as it is read.
    BackupSummaryView& backupSummary() { return *backupSummary_; }

  private:
    QLabel* summary_;
    QStackedWidget* pages_;
    QLabel* image_;
    QPlainTextEdit* text_;
    QTableWidget* tables_;
    BackupSummaryView* backupSummary_;
    QScrollArea* backupSummaryPage_;  // holds backupSummary_
    QTableWidget* conversations_;
};

}  // namespace salvora
