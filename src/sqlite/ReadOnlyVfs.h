#pragma once

// The VFS behind ServedDatabase.h: files served from a table of names, read-only, with the
// write-ahead log's index ("-shm" on disk) kept in heap memory.
#include <cstdint>
#include <memory>
#include <string>

struct sqlite3;

namespace salvora {

class ServedFile;

inline constexpr const char* ReadOnlyVfsName = "salvora-read-only";

// Registers the VFS with SQLite once, never as the default one.
void registerReadOnlyVfs();

// One database's files, served while this exists: the main file under name(), the
// write-ahead log (when given) under name() + "-wal", as SQLite names it.
class ServedNames {
  public:
    ServedNames(std::shared_ptr<const ServedFile> main, std::shared_ptr<const ServedFile> wal);
    ~ServedNames();
    ServedNames(const ServedNames&) = delete;
    ServedNames& operator=(const ServedNames&) = delete;

    const std::string& name() const { return name_; }

  private:
    std::string name_;
};

// How many frames of the write-ahead log SQLite took into the log's index (its header's
// "mxFrame"): 0 when it took none or the database is not one this VFS serves.
std::uint32_t walFramesRead(sqlite3* database);

}  // namespace salvora
