#include "window/BackgroundWork.h"

#include <QEventLoop>
#include <QMetaObject>
#include <optional>
#include <thread>

#include "foundation/SpareThread.h"

namespace salvora {

void runWhileHandlingEvents(const std::function<void()>& work) {
    QEventLoop loop;
    std::optional<std::thread> worker = spareThread([&] {
        work();
        // Queued, so the quit waits for the loop even when the work ends before it starts.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Without a thread the window waits for the work, still.
    if (!worker) return work();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the application quits; the work still has to finish first.
    worker->join();
}

}  // namespace salvora
