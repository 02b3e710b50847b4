#include "window/LongSave.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <thread>

#include "window/LongSaveDialog.h"

namespace salvora {
namespace {

// Often enough to look alive, seldom enough to cost the save nothing worth measuring.
constexpr auto refreshInterval = std::chrono::milliseconds(50);

}  // namespace

bool runLongSave(QWidget* parent, const QString& title, const LongSaveJob& job) {
    LongSaveDialog dialog(title, parent);
    dialog.show();
    std::atomic<bool> finished = false;
    std::chrono::steady_clock::time_point lastShown{};
    const SaveProgress progress = [&](const SaveStatus& status) {
        // Read before showing, so a Cancel pressed while this file is shown still lets it be
        // saved: the save stops after the file being saved.
        const bool goOn = !dialog.cancelRequested();
        const auto now = std::chrono::steady_clock::now();
        const bool first = lastShown == std::chrono::steady_clock::time_point{};
        if (first || status.current.empty() || now - lastShown >= refreshInterval) {
            // Waits for the dialog to show it: the status refers to the job's own strings.
            QMetaObject::invokeMethod(
                &dialog, [&dialog, &status] { dialog.showStatus(status); },
                Qt::BlockingQueuedConnection);
            lastShown = now;
        }
        return goOn;
    };
    std::thread worker([&] {
        job(progress);
        finished = true;
        // Wakes the event thread, which may be waiting for the next event.
        QMetaObject::invokeMethod(
            &dialog, [] {}, Qt::QueuedConnection);
    });
    while (!finished) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    return dialog.cancelRequested();
}

}  // namespace salvora
