#pragma once

// What `salvora PATH…` asks for: backup folders to open at start.
#include <QStringList>
#include <string>
#include <vector>

namespace salvora {

// The folders named on the command line (after Qt took its own options), made absolute.
// --help and --version are answered and end the program, as usual.
std::vector<std::string> foldersToOpen(const QStringList& arguments);

}  // namespace salvora
