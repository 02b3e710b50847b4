#pragma once

// Reads the chosen file's preview on a thread of its own, so that a large database or a slow
// disk never holds the window up. Only the newest request is answered: one made while another
// is read waits for it, replacing any that waited before, and the answer to a request that
// was overtaken meanwhile is dropped.
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <thread>

#include "window/Preview.h"

namespace salvora {

class PreviewLoader final : public QObject {
    Q_OBJECT
  public:
    explicit PreviewLoader(QObject* parent = nullptr);
    // Waits for the read under way; its answer is dropped.
    ~PreviewLoader() override;

    void load(PreviewSource source);
    // Nothing is chosen any more: no answer comes until the next load.
    void forget();

  signals:
    void loaded(const Preview& preview);
    // The file can't be read; why, where known.
    void failed(const QString& problem);

  private:
    void start(PreviewSource source);
    void answered(std::uint64_t request, const Result<Preview>& preview);

    std::uint64_t newest_ = 0;  // the number of the newest request
    bool reading_ = false;
    std::optional<PreviewSource> waiting_;
    std::thread worker_;
};

}  // namespace salvora
