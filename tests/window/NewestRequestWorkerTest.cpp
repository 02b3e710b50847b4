// The worker the preview and the summary read through: a newer request stops the reading under
// way, drops what it still sends, and replaces the one that waited before it.
#include <gtest/gtest.h>

#include <QStringList>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "window/NewestRequestWorker.h"

namespace salvora {
namespace {

using Answers = NewestRequestWorker::Answers;

TEST(NewestRequestWorker, ANewerRequestStopsTheReadingUnderWayAndOnlyTheNewestIsAnswered) {
    QStringList answers;
    NewestRequestWorker worker;
    std::atomic<bool> started = false;
    std::atomic<bool> stopped = false;
    // Sends once before it is stopped, and once after: neither may arrive.
    worker.request([&](const Answers& sent, std::stop_token stop) {
        sent.send([&] { answers << "first, before"; });
        started = true;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!stop.stop_requested() && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::yield();
        stopped = stop.stop_requested();
        sent.send([&] { answers << "first, after"; });
    });
    while (!started) std::this_thread::yield();
    worker.request(
        [&](const Answers& sent, std::stop_token) { sent.send([&] { answers << "replaced"; }); });
    worker.request(
        [&](const Answers& sent, std::stop_token) { sent.send([&] { answers << "newest"; }); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.empty(); }));
    QTest::qWait(50);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(answers, QStringList{"newest"});

    // Forgotten: the next reading's answer is dropped too.
    worker.request(
        [&](const Answers& sent, std::stop_token) { sent.send([&] { answers << "late"; }); });
    worker.forget();
    QTest::qWait(50);
    EXPECT_EQ(answers, QStringList{"newest"});
}

}  // namespace
}  // namespace salvora
