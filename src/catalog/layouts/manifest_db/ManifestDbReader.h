#pragma once

// "Manifest.db", the catalogue of modern backups: an SQLite database whose table
// Files(fileID, domain, relativePath, flags, file) has one row per item. A regular file (flags
// 1, or other flags with a regular file's Mode: ManifestDbItems.h) is stored as fileID inside
// the subfolder named by fileID's first two characters.
#include <string>

#include "catalog/model/Records.h"
#include "foundation/Error.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

// Files every regular file of the database, in rowid order; fails, adding nothing, when the
// database has no such table (another schema, or bytes that are no database at all), or when
// Files is a view, a virtual table or has generated columns.
Status addManifestDbFiles(const SqliteDatabase& database, ApplicationMap& applications);

// How a database on disk was read: straight from its pages, or by SQLite where they are not as
// usual.
enum class ManifestDbReading { Pages, Sqlite };

// Opens folder/"Manifest.db" read-only and immutable and reads it; fails, adding nothing, when
// it is missing, not a regular file, not a database SQLite reads (an encrypted one among them)
// or one without a table Files.
Result<ManifestDbReading> addManifestDbFilesFromDirectory(const std::string& directory,
                                                          ApplicationMap& applications);

// The same read by SQLite alone, as it reads where the pages are not as usual: what the fuzz
// target and the tests hold the pages to.
void addManifestDbFilesWithSqlite(const std::string& directory, ApplicationMap& applications);

}  // namespace salvora
