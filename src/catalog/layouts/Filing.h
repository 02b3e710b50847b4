#pragma once

// How every reader turns what a layout says of a file into a FileRecord under an application.
//
// One rule for incomplete descriptions, the same in every layout: a file is catalogued whenever
// its stored contents can still be reached, so nothing recoverable drops out of view.
// - An application name that can't be formed (no domain, or no "Path" in a ".mdbackup" list;
//   a value of another kind; text that is not valid UTF-8) files it under the empty name, which
//   the application table shows as "(Unknown Application Name)".
// - A path that is missing, of another kind or not valid UTF-8 leaves "fullpath" absent; the
//   file table shows "(Unknown File Name)" and the file can still be saved to a chosen path.
// A file is skipped only when nothing in the backup could give its contents back: a database
// entry that runs past the end of its file, a ".mdbackup" list that doesn't decode (its
// contents are inside it), a Manifest.db row whose fileID can't name a stored file.
#include <string>
#include <vector>

#include "catalog/layouts/LayoutReading.h"
#include "catalog/model/Records.h"
#include "plist/PropertyList.h"

namespace salvora {

// Files what one property list of a layout with a list per file says, `name` being the file.
using PropertyListFiling = void (*)(const std::string& name, const PropertyList& list,
                                    ApplicationMap& applications);

// Reads each named property list in the folder, in list order, and files it with `file`. A list
// that doesn't decode is told as skipped, whatever `file` still makes of it.
LayoutReading fileEachPropertyList(const std::vector<std::string>& names,
                                   const std::string& directory, ApplicationMap& applications,
                                   PropertyListFiling file, std::string layout);

}  // namespace salvora
