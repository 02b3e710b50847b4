#pragma once

// Manifest.db's Files table read straight from the database file's pages (SqliteTablePages),
// each half of its leaves on a core of its own: the fileID, domain and relativePath of each
// regular file, filed with its rowid, by which its details are read when first asked for. A row
// whose flags say nothing is classed by its blob, read by rowid too (ManifestDbItems.h).
#include <span>
#include <string>

#include "catalog/layouts/manifest_db/ManifestDbDetails.h"
#include "catalog/naming/ContainerFiler.h"

struct sqlite3;

namespace salvora {

// Files the regular files of the database at `path`, open as `database`, into the two parts,
// in rowid order. False when its pages can't be read so (Files is the rowid under another
// name, a page is damaged, the text is not UTF-8): the parts may then hold some rows, and the
// caller reads the table through SQLite instead.
bool readManifestDbPages(sqlite3* database, const std::string& path,
                         const ManifestDbDetails& details, std::span<ContainerFiler, 2> parts);

}  // namespace salvora
