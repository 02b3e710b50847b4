#pragma once

#include <string>

#include "foundation/Error.h"

namespace salvora {

// Creates one folder; its parent must exist. Fails (harmlessly) when the folder exists.
Status createDirectory(const std::string& path);

// Creates the folder and every missing level above it; succeeds when it already exists.
Status createDirectoryWithIntermediates(const std::string& path);

}  // namespace salvora
