#pragma once

// The panels as Qt's file dialogs and desktop services show them, over the active window.
#include <QString>

#include "window/Panels.h"

namespace salvora {

// What the password dialog says: whose backup it is, and when the last password was wrong.
QString passwordPrompt(const std::string& deviceName, bool wrongBefore);

class QtPanels final : public Panels {
  public:
    std::optional<std::string> chooseFolder(const std::string& startDirectory) override;
    std::optional<std::string> chooseSavePath(const std::string& proposedName) override;
    std::optional<std::string> askPassword(const std::string& deviceName,
                                           bool wrongBefore) override;
    bool askYesOrNo(const std::string& title, const std::string& question) override;
    void openUrl(const QUrl& url) override;
};

}  // namespace salvora
