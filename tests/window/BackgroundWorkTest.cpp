// Long work runs off the event thread while the event thread goes on handling events.
#include "window/BackgroundWork.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace salvora {
namespace {

TEST(BackgroundWork, TheEventThreadHandlesEventsWhileTheWorkRuns) {
    std::mutex mutex;
    std::condition_variable changed;
    bool handled = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            std::lock_guard lock(mutex);
            handled = true;
            changed.notify_all();
        },
        Qt::QueuedConnection);

    bool handledDuringWork = false;
    runWhileHandlingEvents([&] {
        // The bound only keeps a broken build from hanging the run.
        std::unique_lock lock(mutex);
        handledDuringWork =
            changed.wait_for(lock, std::chrono::seconds(30), [&] { return handled; });
    });
    EXPECT_TRUE(handledDuringWork);
}

TEST(BackgroundWork, TheWorkRunsOnAnotherThreadAndHasFinishedOnReturn) {
    std::thread::id workThread;
    bool finished = false;
    runWhileHandlingEvents([&] {
        workThread = std::this_thread::get_id();
        finished = true;
    });
    EXPECT_TRUE(finished);
    EXPECT_NE(workThread, std::this_thread::get_id());
}

}  // namespace
}  // namespace salvora
