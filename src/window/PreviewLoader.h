#pragma once

// Reads the chosen file's preview on a thread of its own, so that a large database or a slow
// disk never holds the window up. Only the newest request is answered.
#include <QObject>
#include <QString>

#include "window/NewestRequestWorker.h"
#include "window/Preview.h"

namespace salvora {

class PreviewLoader final : public QObject {
    Q_OBJECT
  public:
    explicit PreviewLoader(QObject* parent = nullptr);

    void load(PreviewSource source);
    // Nothing is chosen any more: no answer comes until the next load.
    void forget();

  signals:
    void loaded(const Preview& preview);
    // The file can't be read; why, where known.
    void failed(const QString& problem);

  private:
    NewestRequestWorker worker_;
};

}  // namespace salvora
