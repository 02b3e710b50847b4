#pragma once

// The ".mdbackup" layout: one property list per backed-up file, its "Path" on the device and
// its whole contents in "Data".
#include <string>
#include <string_view>
#include <vector>

#include "catalog/layouts/LayoutReading.h"
#include "catalog/model/Records.h"
#include "plist/PropertyList.h"

namespace salvora {

// The first component of the path; the empty name for a path of one component. Separators at
// the start are passed over, so an absolute path still gives its first component.
std::string applicationNameForMdbackupPath(std::string_view path);

// Files the list read from the file `name` under its application.
void addMdbackupList(const std::string& name, const PropertyList& list,
                     ApplicationMap& applications);

// Reads each named list in the folder, in list order.
LayoutReading addMdbackupFiles(const std::vector<std::string>& names, const std::string& directory,
                               ApplicationMap& applications);

}  // namespace salvora
