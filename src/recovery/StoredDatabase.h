#pragma once

// A database of the backup opened read-only as SQLite sees it on the phone: a WAL-mode file
// opens, and the frames of its "-wal" where the backup holds one are applied, so the rows only
// in the log are read. A plain backup's file is read where it lies, never copied whole; an
// encrypted one's is decrypted into memory. Nothing is written anywhere.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"
#include "recovery/HeldFolders.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

struct StoredDatabase {
    SqliteDatabase database;
    // One sentence when the backup's "-wal" of the database was left out, naming it and why
    // ("Left out the log \"/b/3c/3c24…\" of \"Library/SMS/sms.db\": SQLite found no frame of
    // this database in it"); absent when it was applied or there was none.
    std::optional<std::string> warning;
};

// `file`: the database's record; `wal`: the record of "NAME-wal", null when the backup holds
// none; `keybag`: the one an encrypted backup was unlocked with. Fails, with the reason SQLite
// or the file system gave, only when the database itself can't be read.
Result<StoredDatabase> openStoredDatabase(HeldFolders& backupFolders, const FileRecord& file,
                                          const FileRecord* wal, const UnlockedKeybag* keybag);
Result<StoredDatabase> openStoredDatabase(const std::string& deviceDirectory,
                                          const FileRecord& file, const FileRecord* wal,
                                          const UnlockedKeybag* keybag);

// The database the device kept at (domain, relative path), found in a catalogue of any layout
// (findStoredFile), with its "-wal" where the backup holds one. Fails as NotInBackup when the
// backup holds no such file.
Result<StoredDatabase> openStoredDatabaseAt(const std::string& deviceDirectory,
                                            const ApplicationMap& applications,
                                            std::string_view domain, std::string_view relativePath,
                                            const UnlockedKeybag* keybag);

// The record of the database's "-wal" among the files of its application: the one whose
// fullpath is the database's with "-wal" after it; null when there is none.
const FileRecord* walRecordAmong(const std::vector<FileRecord>& files, const FileRecord& database);

}  // namespace salvora
