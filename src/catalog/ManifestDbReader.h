#pragma once

// "Manifest.db", the catalogue of modern backups: an SQLite database whose table
// Files(fileID, domain, relativePath, flags, file) has one row per item. A regular file
// (flags 1) is stored as fileID inside the subfolder named by fileID's first two characters.
#include <string>

#include "catalog/Records.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

// Files every regular file of the database, in rowid order; adds nothing when the database
// has no such table (another schema, or bytes that are no database at all), or when Files is
// a view, a virtual table or has generated columns.
void addManifestDbFiles(const SqliteDatabase& database, ApplicationMap& applications);

// Opens folder/"Manifest.db" read-only and immutable and reads it; adds nothing when it is
// missing, not a regular file, or not a readable database (an encrypted one among them).
void addManifestDbFilesFromDirectory(const std::string& directory, ApplicationMap& applications);

}  // namespace salvora
