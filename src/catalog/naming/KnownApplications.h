#pragma once

// What Salvora knows of the applications and the named domains (KnownApplicationTable.h), for
// backups whose Info.plist names only the applications of the store, or none.
#include <optional>
#include <string>
#include <string_view>

#include "catalog/model/Records.h"

namespace salvora {

// The name an application or a named domain goes by ("com.apple.mobilenotes" gives "Notes",
// "com.google.chrome.ios" "Chrome", "CameraRollDomain" "Camera Roll"); absent for any other.
// Letter case is ignored.
std::optional<std::string_view> knownDisplayName(std::string_view identifier);

// The application that owns one of Apple's groups whose names don't say their application,
// by the group's subject ("com.apple.notes" gives "com.apple.mobilenotes").
std::optional<std::string_view> knownGroupOwner(std::string_view groupSubject);

// The display name of an application the backup doesn't name: the known name; else "System
// Containers" or the domain for those kinds; else the identifier's readable piece written as
// a name ("com.example.reader.ios" gives "Reader"), and for a group whose identifier names
// only a vendor, the vendor's name marked as shared ("group.com.google.common" gives
// "Google (shared)").
std::string fallbackDisplayName(const ApplicationRecord& application);

}  // namespace salvora
