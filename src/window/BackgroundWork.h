#pragma once

// Long work that must not freeze the window's busy indicators.
#include <functional>

namespace salvora {

// Runs `work` on a thread of its own and returns once it has finished. Meanwhile the calling
// (event) thread keeps handling every event but user input, so indicators keep moving and
// redraws happen, yet no click or key press is taken until the work is done.
void runWhileHandlingEvents(const std::function<void()>& work);

}  // namespace salvora
