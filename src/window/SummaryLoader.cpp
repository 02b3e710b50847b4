#include "window/SummaryLoader.h"

#include <QMetaObject>
#include <utility>

namespace salvora {

SummaryLoader::SummaryLoader(QObject* parent) : QObject(parent) {}

SummaryLoader::~SummaryLoader() {
    // Stopped and joined before the QObject goes, which drops what the worker posted.
    worker_ = {};
}

void SummaryLoader::load(SummaryJob job) {
    forget();
    if (reading_)
        waiting_ = std::move(job);
    else
        start(std::move(job));
}

void SummaryLoader::forget() {
    ++newest_;
    waiting_.reset();
    worker_.request_stop();
}

template <typename Deliver>
void SummaryLoader::post(std::uint64_t request, Deliver deliver) {
    QMetaObject::invokeMethod(
        this,
        [this, request, deliver = std::move(deliver)] {
            if (request == newest_) deliver();
        },
        Qt::QueuedConnection);
}

void SummaryLoader::start(SummaryJob job) {
    if (worker_.joinable()) worker_.join();
    reading_ = true;
    worker_ = std::jthread([this, request = newest_, job = std::move(job)](std::stop_token stop) {
        static const ApplicationMap none;
        const ApplicationMap& applications =
            job.device.applications ? *job.device.applications : none;
        post(request,
             [this, facts = backupFacts(job.device, job.applications)] { emit factsRead(facts); });
        const SummarySource source{job.device.directory, applications, job.keybag.get()};
        const auto kinds = exportableKinds();
        for (std::size_t kind = 0; kind < kinds.size() && !stop.stop_requested(); ++kind)
            post(request, [this, kind, count = kinds[kind].count(source)] {
                emit kindCounted(kind, count);
            });
        if (!stop.stop_requested())
            post(request, [this, size = backupSizeOnDisk(job.device.directory, stop)] {
                emit sizeRead(size);
            });
        QMetaObject::invokeMethod(this, &SummaryLoader::finished, Qt::QueuedConnection);
    });
}

void SummaryLoader::finished() {
    reading_ = false;
    if (waiting_) start(*std::exchange(waiting_, std::nullopt));
}

}  // namespace salvora
