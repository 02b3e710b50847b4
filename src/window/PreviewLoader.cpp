#include "window/PreviewLoader.h"

#include <QMetaObject>
#include <utility>

#include "foundation/SpareThread.h"
#include "window/QtText.h"

namespace salvora {

PreviewLoader::PreviewLoader(QObject* parent) : QObject(parent) {}

PreviewLoader::~PreviewLoader() {
    // Joined before the QObject goes, which drops the answer the worker may have posted.
    if (worker_.joinable()) worker_.join();
}

void PreviewLoader::load(PreviewSource source) {
    ++newest_;
    if (reading_)
        waiting_ = std::move(source);
    else
        start(std::move(source));
}

void PreviewLoader::forget() {
    ++newest_;
    waiting_.reset();
}

void PreviewLoader::start(PreviewSource source) {
    if (worker_.joinable()) worker_.join();
    reading_ = true;
    const auto read = [this, request = newest_, source = std::move(source)] {
        QMetaObject::invokeMethod(
            this, [this, request, preview = readPreview(source)] { answered(request, preview); },
            Qt::QueuedConnection);
    };
    // Without a thread of its own the file is read here; the answer comes as it would.
    if (auto thread = spareThread(read))
        worker_ = std::move(*thread);
    else
        read();
}

void PreviewLoader::answered(std::uint64_t request, const Result<Preview>& preview) {
    reading_ = false;
    if (request == newest_) {
        if (preview)
            emit loaded(*preview);
        else
            emit failed(toQString(preview.error().description()));
    }
    if (waiting_) start(*std::exchange(waiting_, std::nullopt));
}

}  // namespace salvora
