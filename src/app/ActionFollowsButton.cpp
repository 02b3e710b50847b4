#include "app/ActionFollowsButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>

namespace salvora {
namespace {

// Watches the button's enabled changes; lives as long as the action.
class EnabledStateFollower final : public QObject {
  public:
    EnabledStateFollower(QAction& action, QAbstractButton& button)
        : QObject(&action), action_(action), button_(button) {
        action_.setEnabled(button_.isEnabled());
        button_.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &button_ && event->type() == QEvent::EnabledChange)
            action_.setEnabled(button_.isEnabled());
        return false;
    }

  private:
    QAction& action_;
    QAbstractButton& button_;
};

}  // namespace

void makeActionFollowButton(QAction& action, QAbstractButton& button) {
    new EnabledStateFollower(action, button);
}

}  // namespace salvora
