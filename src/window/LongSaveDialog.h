#pragma once

// The dialog a long save shows: files and bytes done of the total, the file being saved, and a
// Cancel button that asks the save to stop after that file.
#include <QDialog>
#include <atomic>

#include "recovery/Recovery.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace salvora {

class LongSaveDialog final : public QDialog {
    Q_OBJECT
  public:
    LongSaveDialog(const QString& title, QWidget* parent);

    // Shows where the save has come; emits statusShown.
    void showStatus(const SaveStatus& status);
    // Whether the user asked the save to stop.
    bool cancelRequested() const { return cancelRequested_.load(); }

  signals:
    void statusShown(const SaveStatus& status);

  protected:
    // Closing the dialog, or Escape, asks the save to stop like Cancel; the dialog itself
    // stays until the save has ended.
    void reject() override;

  private:
    QLabel* countLabel_;
    QLabel* currentLabel_;
    QProgressBar* bar_;
    QPushButton* cancelButton_;
    std::atomic<bool> cancelRequested_ = false;
};

// "3 of 10 files, 1.2 MB of 4.0 MB", or without bytes where none are recorded.
QString saveStatusText(const SaveStatus& status);

}  // namespace salvora
