#pragma once

// Every outlet and member of the controller written out as text, one per line, so a test can
// show that an action left the window exactly as it was, and a failure shows what moved.
#include <string>

class QTableView;

namespace salvora {
class MainController;
}

namespace salvora::test {

// `withoutSelectionOf` names a table whose selected row is left out.
std::string snapshotOf(const MainController& controller,
                       const QTableView* withoutSelectionOf = nullptr);

}  // namespace salvora::test
