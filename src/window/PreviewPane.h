#pragma once

// The pane below the file table that shows the chosen file without saving it.
#include <QWidget>

#include "window/Preview.h"

class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class QTableWidget;

namespace salvora {

class PreviewPane final : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewPane(QWidget* parent = nullptr);

    void showPreview(const Preview& preview);
    // The chosen file is being read.
    void showLoading();
    // Nothing chosen, or why the file can't be shown.
    void showNothing(const QString& why = {});

  private:
    QLabel* summary_;
    QStackedWidget* pages_;
    QLabel* image_;
    QPlainTextEdit* text_;
    QTableWidget* tables_;
    QTableWidget* conversations_;
};

}  // namespace salvora
