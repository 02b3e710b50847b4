#pragma once

// Reaches into each long-save dialog as it is shown, for a test to act while a save runs.
#include <QApplication>
#include <QEvent>
#include <functional>

#include "window/LongSaveDialog.h"

namespace salvora::test {

class LongSaveWatcher final : public QObject {
  public:
    // Called on the event thread with every status a dialog shows, while the save waits.
    std::function<void(LongSaveDialog& dialog, const SaveStatus& status)> onStatus;
    int dialogsShown = 0;

    LongSaveWatcher() { QApplication::instance()->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<LongSaveDialog*>(watched);
        if (dialog != nullptr && event->type() == QEvent::Show) {
            ++dialogsShown;
            connect(dialog, &LongSaveDialog::statusShown, this,
                    [this, dialog](const SaveStatus& s) {
                        if (onStatus) onStatus(*dialog, s);
                    });
        }
        return false;
    }
};

// Presses the dialog's Cancel button as the user does.
void pressCancel(LongSaveDialog& dialog);

}  // namespace salvora::test
