#pragma once

// What Salvora knows of Apple's own applications and the named domains, for backups whose
// Info.plist names only the applications of the store.
#include <optional>
#include <string>
#include <string_view>

#include "catalog/model/Records.h"

namespace salvora {

// The name Apple's application or a named domain goes by ("com.apple.mobilenotes" gives
// "Notes", "CameraRollDomain" "Camera Roll"); absent for any other.
std::optional<std::string_view> knownDisplayName(std::string_view identifier);

// The application that owns one of Apple's groups whose names don't say their application,
// by the group's subject ("com.apple.notes" gives "com.apple.mobilenotes").
std::optional<std::string_view> knownGroupOwner(std::string_view groupSubject);

// A readable piece of an identifier: its last "."-separated piece that isn't a generic tail
// such as "ios" or "shared" ("com.google.chrome.ios" gives "chrome").
std::string readablePiece(std::string_view identifier);

// The display name of an application the backup doesn't name: the known name, else "System
// Containers" or the domain for those kinds, else a readable piece of its name.
std::string fallbackDisplayName(const ApplicationRecord& application);

}  // namespace salvora
