#include "sqlite/ReadOnlyVfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "sqlite/ServedDatabase.h"

namespace salvora {
namespace {

struct ServedTable {
    std::mutex mutex;
    std::unordered_map<std::string, std::shared_ptr<const ServedFile>> files;
    std::uint64_t nextNumber = 0;
};

ServedTable& servedTable() {
    static ServedTable table;
    return table;
}

std::shared_ptr<const ServedFile> servedFile(const char* name) {
    ServedTable& table = servedTable();
    std::lock_guard lock(table.mutex);
    auto found = table.files.find(name);
    return found == table.files.end() ? nullptr : found->second;
}

// What one opened file holds: its bytes and, for a main file, the log's index.
struct OpenFile {
    std::shared_ptr<const ServedFile> file;
    std::vector<std::unique_ptr<std::byte[]>> indexRegions;
};

// SQLite allocates the VFS's szOsFile bytes for each file and hands them to xOpen.
struct Handle {
    sqlite3_file base;
    OpenFile* open;
};

OpenFile& openFile(sqlite3_file* file) { return *reinterpret_cast<Handle*>(file)->open; }

int closeFile(sqlite3_file* file) {
    delete reinterpret_cast<Handle*>(file)->open;
    return SQLITE_OK;
}

int readFile(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    std::span<std::byte> into(static_cast<std::byte*>(buffer), static_cast<std::size_t>(amount));
    const long read = openFile(file).file->read(into, static_cast<std::uint64_t>(offset));
    if (read < 0) return SQLITE_IOERR_READ;
    if (static_cast<std::size_t>(read) == into.size()) return SQLITE_OK;
    // SQLite wants the rest zeroed when a read runs past the end.
    std::fill(into.begin() + read, into.end(), std::byte{0});
    return SQLITE_IOERR_SHORT_READ;
}

int refuseWrite(sqlite3_file*, const void*, int, sqlite3_int64) { return SQLITE_READONLY; }
int refuseTruncate(sqlite3_file*, sqlite3_int64) { return SQLITE_READONLY; }
int nothingToSync(sqlite3_file*, int) { return SQLITE_OK; }

int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    *size = static_cast<sqlite3_int64>(openFile(file).file->size());
    return SQLITE_OK;
}

// A reader needs no more than a shared lock; anything above is for writing.
int lockFile(sqlite3_file*, int level) {
    return level <= SQLITE_LOCK_SHARED ? SQLITE_OK : SQLITE_BUSY;
}
int unlockFile(sqlite3_file*, int) { return SQLITE_OK; }
int checkReservedLock(sqlite3_file*, int* reserved) {
    *reserved = 0;
    return SQLITE_OK;
}
int fileControl(sqlite3_file*, int, void*) { return SQLITE_NOTFOUND; }
int sectorSize(sqlite3_file*) { return 4096; }
int deviceCharacteristics(sqlite3_file*) { return 0; }

// The log's index lives in heap regions of the one connection that opened the file, so no
// lock between connections is needed.
int mapIndexRegion(sqlite3_file* file, int region, int regionSize, int extend,
                   void volatile** mapped) {
    auto& regions = openFile(file).indexRegions;
    const auto index = static_cast<std::size_t>(region);
    if (index >= regions.size() || !regions[index]) {
        if (!extend) {
            *mapped = nullptr;
            return SQLITE_OK;
        }
        if (index >= regions.size()) regions.resize(index + 1);
        regions[index] = std::make_unique<std::byte[]>(static_cast<std::size_t>(regionSize));
    }
    *mapped = regions[index].get();
    return SQLITE_OK;
}
int lockIndex(sqlite3_file*, int, int, int) { return SQLITE_OK; }
void indexBarrier(sqlite3_file*) { std::atomic_thread_fence(std::memory_order_seq_cst); }
int unmapIndex(sqlite3_file* file, int) {
    openFile(file).indexRegions.clear();
    return SQLITE_OK;
}

const sqlite3_io_methods ioMethods = {
    2,  // with the shared-memory calls, without memory mapping
    closeFile,
    readFile,
    refuseWrite,
    refuseTruncate,
    nothingToSync,
    fileSize,
    lockFile,
    unlockFile,
    checkReservedLock,
    fileControl,
    sectorSize,
    deviceCharacteristics,
    mapIndexRegion,
    lockIndex,
    indexBarrier,
    unmapIndex,
    nullptr,
    nullptr,
};

int openServed(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    auto* handle = reinterpret_cast<Handle*>(file);
    handle->base.pMethods = nullptr;
    // A temporary file (name absent) would go to disk: temp_store keeps them in memory.
    if (name == nullptr) return SQLITE_CANTOPEN;
    std::shared_ptr<const ServedFile> served = servedFile(name);
    if (!served) {
        // A WAL-mode database without a log reads an empty one.
        if ((flags & SQLITE_OPEN_WAL) == 0) return SQLITE_CANTOPEN;
        static const auto noLog = std::make_shared<const ServedFile>(std::vector<std::byte>{});
        served = noLog;
    }
    handle->open = new OpenFile{std::move(served), {}};
    handle->base.pMethods = &ioMethods;
    if (outFlags != nullptr)
        *outFlags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    return SQLITE_OK;
}

int refuseDelete(sqlite3_vfs*, const char*, int) { return SQLITE_IOERR_DELETE; }

int accessServed(sqlite3_vfs*, const char* name, int flags, int* result) {
    *result = flags != SQLITE_ACCESS_READWRITE && servedFile(name) != nullptr;
    return SQLITE_OK;
}

int fullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    const std::size_t length = std::strlen(name);
    if (length >= static_cast<std::size_t>(size)) return SQLITE_CANTOPEN;
    std::memcpy(out, name, length + 1);
    return SQLITE_OK;
}

// Randomness, sleep and time come from the default VFS.
sqlite3_vfs& defaultVfs(sqlite3_vfs* vfs) { return *static_cast<sqlite3_vfs*>(vfs->pAppData); }
int randomness(sqlite3_vfs* vfs, int size, char* out) {
    return defaultVfs(vfs).xRandomness(&defaultVfs(vfs), size, out);
}
int sleepFor(sqlite3_vfs* vfs, int microseconds) {
    return defaultVfs(vfs).xSleep(&defaultVfs(vfs), microseconds);
}
int currentTime(sqlite3_vfs* vfs, double* now) {
    return defaultVfs(vfs).xCurrentTime(&defaultVfs(vfs), now);
}
int lastError(sqlite3_vfs*, int, char*) { return 0; }

}  // namespace

void registerReadOnlyVfs() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        static sqlite3_vfs vfs = {};
        vfs.iVersion = 1;
        vfs.szOsFile = sizeof(Handle);
        vfs.mxPathname = 512;
        vfs.zName = ReadOnlyVfsName;
        vfs.pAppData = sqlite3_vfs_find(nullptr);
        vfs.xOpen = openServed;
        vfs.xDelete = refuseDelete;
        vfs.xAccess = accessServed;
        vfs.xFullPathname = fullPathname;
        vfs.xRandomness = randomness;
        vfs.xSleep = sleepFor;
        vfs.xCurrentTime = currentTime;
        vfs.xGetLastError = lastError;
        sqlite3_vfs_register(&vfs, 0);
    });
}

ServedNames::ServedNames(std::shared_ptr<const ServedFile> main,
                         std::shared_ptr<const ServedFile> wal) {
    ServedTable& table = servedTable();
    std::lock_guard lock(table.mutex);
    name_ = "/served/" + std::to_string(table.nextNumber++);
    table.files.emplace(name_, std::move(main));
    if (wal) table.files.emplace(name_ + "-wal", std::move(wal));
}

ServedNames::~ServedNames() {
    ServedTable& table = servedTable();
    std::lock_guard lock(table.mutex);
    table.files.erase(name_);
    table.files.erase(name_ + "-wal");
}

std::uint32_t walFramesRead(sqlite3* database) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(database, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods != &ioMethods)
        return 0;
    const auto& regions = openFile(file).indexRegions;
    if (regions.empty() || !regions[0]) return 0;
    // The index header's mxFrame: a 32-bit number in native order at byte 16.
    std::uint32_t frames = 0;
    std::memcpy(&frames, regions[0].get() + 16, sizeof frames);
    return frames;
}

}  // namespace salvora
