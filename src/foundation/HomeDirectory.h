#pragma once

#include <string>

namespace salvora {

// The user's home directory: $HOME, or the password database's entry when it is unset.
std::string homeDirectory();

}  // namespace salvora
