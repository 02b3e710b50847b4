#include "app/SUUpdater.h"

namespace salvora {

void SUUpdater::checkForUpdates() {}

}  // namespace salvora
