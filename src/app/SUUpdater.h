#pragma once

// The update hook that the window's "Check for Updates…" command goes to. Salvora has no update
// service, so checking does nothing: no network request, no message, no change.
#include <QObject>

namespace salvora {

class SUUpdater final : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    void checkForUpdates();
};

}  // namespace salvora
