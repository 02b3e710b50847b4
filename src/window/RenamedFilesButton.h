#pragma once

// The status bar's way to the files the last save put under another name than their own: a
// button, shown only when there are some, that lists each phone name and the name it got.
#include <QPushButton>
#include <vector>

#include "recovery/Recovery.h"

namespace salvora {

class RenamedFilesButton final : public QPushButton {
    Q_OBJECT
  public:
    explicit RenamedFilesButton(QWidget* parent = nullptr);

    // The renamed files of the last save (each outcome with `savedAs`); hidden when none.
    void showRenamed(const std::vector<FileOutcome>& renamed);
    // The dialog with the list, "phone name → saved as"; what a click opens.
    void openList();

  private:
    std::vector<FileOutcome> renamed_;
};

}  // namespace salvora
