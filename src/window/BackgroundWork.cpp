#include "window/BackgroundWork.h"

#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace salvora {

void runWhileHandlingEvents(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread worker([&] {
        work();
        // Queued, so the quit waits for the loop even when the work ends before it starts.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the application quits; the work still has to finish first.
    worker.join();
}

}  // namespace salvora
