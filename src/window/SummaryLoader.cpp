#include "window/SummaryLoader.h"

#include <utility>

namespace salvora {

SummaryLoader::SummaryLoader(QObject* parent) : QObject(parent) {}

void SummaryLoader::load(SummaryJob job) {
    worker_.request([this, job = std::move(job)](const NewestRequestWorker::Answers& answers,
                                                 std::stop_token stop) {
        static const ApplicationMap none;
        const ApplicationMap& applications =
            job.device.applications ? *job.device.applications : none;
        answers.send(
            [this, facts = backupFacts(job.device, job.applications)] { emit factsRead(facts); });
        const SummarySource source{job.device.directory, applications, job.keybag.get()};
        const auto kinds = exportableKinds();
        for (std::size_t kind = 0; kind < kinds.size() && !stop.stop_requested(); ++kind)
            answers.send(
                [this, kind, count = kinds[kind].count(source)] { emit kindCounted(kind, count); });
        if (!stop.stop_requested())
            answers.send([this, size = backupSizeOnDisk(job.device.directory, stop)] {
                emit sizeRead(size);
            });
    });
}

void SummaryLoader::forget() { worker_.forget(); }

}  // namespace salvora
