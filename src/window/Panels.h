#pragma once

// What the controller asks of the user through the platform: a folder, a path to save to, the
// password of an encrypted backup, a yes-or-no question, and a web page opened in the browser.
// The window uses the Qt dialogs; tests script the answers.
#include <optional>
#include <string>

class QUrl;

namespace salvora {

class Panels {
  public:
    virtual ~Panels() = default;

    // A folder chosen by the user, starting in `startDirectory`; absent when cancelled.
    virtual std::optional<std::string> chooseFolder(const std::string& startDirectory) = 0;

    // A path to save to, proposing `proposedName` wherever the platform opens the panel;
    // absent when cancelled.
    virtual std::optional<std::string> chooseSavePath(const std::string& proposedName) = 0;

    // The password of the encrypted backup of the device shown as `deviceName`; absent when
    // cancelled. `wrongBefore`: the password given last time was wrong, which the panel says.
    virtual std::optional<std::string> askPassword(const std::string& deviceName,
                                                   bool wrongBefore) = 0;

    // Whether the user answers Yes to `question`, asked in a box titled `title`.
    virtual bool askYesOrNo(const std::string& title, const std::string& question) = 0;

    // Opens the page in the user's browser; whether that worked is nobody's concern.
    virtual void openUrl(const QUrl& url) = 0;
};

}  // namespace salvora
