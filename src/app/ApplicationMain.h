#pragma once

namespace salvora {

// Creates the application, shows the main window and runs the event loop until the user quits;
// returns the exit status. Arguments go to Qt unchanged.
int applicationMain(int& argc, char** argv);

}  // namespace salvora
