#pragma once

// Panels whose answers a test gives beforehand, recording what the controller asked.
#include <QUrl>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "window/Panels.h"

namespace salvora::test {

class ScriptedPanels final : public Panels {
  public:
    // The next answers, in order; an absent answer is the user cancelling. A panel asked for
    // without an answer left cancels too.
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> savePathAnswers;
    std::deque<std::optional<std::string>> passwordAnswers;
    std::deque<bool> yesOrNoAnswers;  // none left: No

    std::vector<std::string> folderStarts;   // where each folder panel started
    std::vector<std::string> proposedNames;  // the name each save panel proposed
    std::vector<QUrl> openedUrls;
    std::vector<std::string> questions;  // every yes-or-no question asked
    struct PasswordRequest {
        std::string deviceName;
        bool wrongBefore;
        bool operator==(const PasswordRequest&) const = default;
    };
    std::vector<PasswordRequest> passwordRequests;
    // Runs while each password panel is up, for a test to look at the window then.
    std::function<void()> whilePasswordAsked;

    std::optional<std::string> chooseFolder(const std::string& startDirectory) override {
        folderStarts.push_back(startDirectory);
        return next(folderAnswers);
    }

    std::optional<std::string> chooseSavePath(const std::string& proposedName) override {
        proposedNames.push_back(proposedName);
        return next(savePathAnswers);
    }

    std::optional<std::string> askPassword(const std::string& deviceName,
                                           bool wrongBefore) override {
        passwordRequests.push_back({deviceName, wrongBefore});
        if (whilePasswordAsked) whilePasswordAsked();
        return next(passwordAnswers);
    }

    bool askYesOrNo(const std::string&, const std::string& question) override {
        questions.push_back(question);
        if (yesOrNoAnswers.empty()) return false;
        const bool answer = yesOrNoAnswers.front();
        yesOrNoAnswers.pop_front();
        return answer;
    }

    void openUrl(const QUrl& url) override { openedUrls.push_back(url); }

  private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

}  // namespace salvora::test
