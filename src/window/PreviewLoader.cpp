#include "window/PreviewLoader.h"

#include <utility>

#include "window/QtText.h"

namespace salvora {

PreviewLoader::PreviewLoader(QObject* parent) : QObject(parent) {}

void PreviewLoader::load(PreviewSource source) {
    worker_.request([this, source = std::move(source)](const NewestRequestWorker::Answers& answers,
                                                       std::stop_token) {
        answers.send([this, preview = readPreview(source)] {
            if (preview)
                emit loaded(*preview);
            else
                emit failed(toQString(preview.error().description()));
        });
    });
}

void PreviewLoader::forget() { worker_.forget(); }

}  // namespace salvora
