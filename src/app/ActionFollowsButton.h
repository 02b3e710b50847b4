#pragma once

// A menu command that stands for a button: enabled exactly when the button is.
class QAction;
class QAbstractButton;

namespace salvora {

void makeActionFollowButton(QAction& action, QAbstractButton& button);

}  // namespace salvora
