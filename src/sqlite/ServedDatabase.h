#pragma once

// A database opened as SQLite sees it on the phone, from bytes we hand it: the main file read
// where it lies or held in memory, and its write-ahead log ("-wal") held in memory. A small
// VFS of our own serves them under the names SQLite asks for and keeps the log's index in
// memory, so a WAL-mode database opens and SQLite applies the log's frames itself (checking
// their salts and checksums), while nothing is written anywhere: no "-shm", no journal, no
// temporary file, and every write is refused.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "foundation/FileDescriptor.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

// The bytes of one file SQLite reads.
class ServedFile {
  public:
    // Bytes held in memory (a decrypted file, say).
    explicit ServedFile(std::vector<std::byte> bytes);
    // A regular file read where it lies, never copied whole; `path` names it in errors.
    static Result<ServedFile> inPlace(FileDescriptor file, const std::string& path);

    std::uint64_t size() const { return size_; }
    // Fills `buffer` from `offset`: the number of bytes read, fewer at the end, or -1 with
    // errno set when the file can't be read.
    long read(std::span<std::byte> buffer, std::uint64_t offset) const;

  private:
    ServedFile(FileDescriptor file, std::uint64_t size);

    std::vector<std::byte> bytes_;
    FileDescriptor file_;  // invalid for bytes in memory
    std::uint64_t size_ = 0;
};

struct ServedDatabase {
    SqliteDatabase database;
    // Why the write-ahead log was left out, when there was one SQLite could not use (damaged,
    // or not this database's): "SQLite found no frame of this database in it".
    std::optional<std::string> walProblem;
};

// Opens the database read-only with its write-ahead log where there is one (null when none).
// A log SQLite can't use is left out, said in `walProblem`; only a main file SQLite can't
// read fails, with the reason SQLite gave.
Result<ServedDatabase> openServedDatabase(std::shared_ptr<const ServedFile> main,
                                          std::shared_ptr<const ServedFile> wal);

}  // namespace salvora
