#include "catalog/layouts/manifest_db/ManifestDbDetails.h"

#include <sqlite3.h>

namespace salvora {

FileDetails fileDetailsOf(ArchivedFileInfo info) {
    return {info.lastModified, info.size, std::move(info.encryptionKey)};
}

const FileDetails& ManifestDbDetails::details(std::int64_t rowid) const {
    const std::lock_guard lock(mutex_);
    if (auto found = known_.find(rowid); found != known_.end()) return found->second;
    return known_.emplace(rowid, fileDetailsOf(read(rowid))).first->second;
}

ManifestDbItem ManifestDbDetails::itemOfRow(std::int64_t rowid) const {
    const std::lock_guard lock(mutex_);
    ArchivedFileInfo info = read(rowid);
    const ManifestDbItem item = itemOfMode(info.mode);
    if (item == ManifestDbItem::RegularFile)
        known_.try_emplace(rowid, fileDetailsOf(std::move(info)));
    return item;
}

ArchivedFileInfo ManifestDbDetails::read(std::int64_t rowid) const {
    if (!opened_) {
        opened_ = true;
        if (auto database = SqliteDatabase::openImmutable(path_)) {
            if (auto blob = prepare(database->handle(), "SELECT file FROM Files WHERE rowid = ?1"))
                blobOfRow_ = std::move(*blob);
            database_.emplace(std::move(*database));
        }
    }
    if (!blobOfRow_) return {};
    sqlite3_stmt* statement = blobOfRow_.get();
    sqlite3_reset(statement);
    sqlite3_bind_int64(statement, 1, rowid);
    if (sqlite3_step(statement) != SQLITE_ROW || sqlite3_column_type(statement, 0) != SQLITE_BLOB)
        return {};
    const void* blob = sqlite3_column_blob(statement, 0);
    return readArchivedFileInfo({static_cast<const std::byte*>(blob),
                                 static_cast<std::size_t>(sqlite3_column_bytes(statement, 0))});
}

}  // namespace salvora
