#pragma once

// The panels as Qt's file dialogs and desktop services show them, over the active window.
#include "window/Panels.h"

namespace salvora {

class QtPanels final : public Panels {
  public:
    std::optional<std::string> chooseFolder(const std::string& startDirectory) override;
    std::optional<std::string> chooseSavePath(const std::string& proposedName) override;
    void openUrl(const QUrl& url) override;
};

}  // namespace salvora
