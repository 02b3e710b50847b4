#include "window/NewestRequestWorker.h"

#include <utility>

#include "foundation/SpareThread.h"

namespace salvora {

NewestRequestWorker::NewestRequestWorker(QObject* parent) : QObject(parent) {}

NewestRequestWorker::~NewestRequestWorker() {
    // Stopped and joined before the QObject goes, which drops what the reading posted.
    worker_ = {};
}

void NewestRequestWorker::request(Reading reading) {
    forget();
    if (reading_)
        waiting_ = std::move(reading);
    else
        start(std::move(reading));
}

void NewestRequestWorker::forget() {
    ++newest_;
    waiting_ = nullptr;
    worker_.request_stop();
}

void NewestRequestWorker::start(Reading reading) {
    if (worker_.joinable()) worker_.join();
    reading_ = true;
    const auto read = [this, answers = Answers(this, newest_),
                       reading = std::move(reading)](std::stop_token stop) {
        reading(answers, std::move(stop));
        QMetaObject::invokeMethod(this, &NewestRequestWorker::finished, Qt::QueuedConnection);
    };
    // Without a thread of its own the reading runs here; what it sends comes as it would.
    if (auto thread = spareThread<std::jthread>(read))
        worker_ = std::move(*thread);
    else
        read(std::stop_token());
}

void NewestRequestWorker::finished() {
    reading_ = false;
    if (waiting_) start(std::exchange(waiting_, nullptr));
}

}  // namespace salvora
