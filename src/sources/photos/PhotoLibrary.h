#pragma once

// What the camera roll's database, "Photos.sqlite", says of its assets and user albums. Both
// generations of its schema are read: the asset table ZASSET (iOS 14 on) and ZGENERICASSET
// (before). The database is read from memory; nothing is written anywhere.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Error.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

enum class MediaKind { Photo, Video };

struct LibraryAsset {
    std::int64_t id = 0;                          // Z_PK
    std::string directory;                        // ZDIRECTORY, below "Media/"
    std::string fileName;                         // ZFILENAME
    std::optional<std::string> originalFileName;  // ZADDITIONALASSETATTRIBUTES.ZORIGINALFILENAME
    std::optional<std::int64_t> created;          // ZDATECREATED, in seconds since 1970
    MediaKind kind = MediaKind::Photo;
    bool hidden = false;
    bool trashed = false;
};

struct LibraryAlbum {
    std::string title;
    std::vector<std::int64_t> assets;  // Z_PKs of its members
};

struct PhotoLibrary {
    std::vector<LibraryAsset> assets;  // in the order of their Z_PK
    std::vector<LibraryAlbum> albums;  // user albums (ZKIND 2) only
};

// The name its errors give it.
inline constexpr std::string_view PhotoLibraryName = "Photos.sqlite";

// The library the database holds, or why it isn't a database of a schema this reader knows:
// the error's reason says it of the database ("is damaged (…)", "has no asset table…").
Result<PhotoLibrary> readPhotoLibrary(const SqliteDatabase& database);

// How many photos and videos an export takes by default: the assets neither hidden nor
// deleted.
struct LibraryCounts {
    std::size_t photos = 0;
    std::size_t videos = 0;
};

// Counted in the database without reading its rows; fails as readPhotoLibrary does.
[[nodiscard]] Result<LibraryCounts> countLibraryAssets(sqlite3* database);

}  // namespace salvora
