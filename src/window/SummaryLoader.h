#pragma once

// Reads the chosen backup's summary on a thread of its own, an entry at a time, so the window
// shows the applications at once and each count as it is read: the facts first, then each kind
// of data in turn, then the size on disk, which walks every stored file. A newer device choice
// stops the read under way and ignores whatever it still sends.
#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "sources/summary/BackupSummary.h"
#include "window/NewestRequestWorker.h"

namespace salvora {

// What a summary reads: the device as chosen, held whatever the window chooses meanwhile.
struct SummaryJob {
    DeviceRecord device;  // its applications those of the catalogue shown
    std::string name;     // as the device table shows it
    std::size_t applications = 0;
    std::shared_ptr<const UnlockedKeybag> keybag;
};

class SummaryLoader final : public QObject {
    Q_OBJECT
  public:
    explicit SummaryLoader(QObject* parent = nullptr);

    void load(SummaryJob job);
    // Nothing is chosen any more: nothing more comes until the next load.
    void forget();

  signals:
    void factsRead(const BackupFacts& facts);
    // `kind` indexes exportableKinds().
    void kindCounted(std::size_t kind, const HeldCount& count);
    void sizeRead(std::optional<std::uint64_t> bytes);

  private:
    NewestRequestWorker worker_;
};

}  // namespace salvora
