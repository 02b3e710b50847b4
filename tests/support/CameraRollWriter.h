#pragma once

// A camera roll in a backup: its photos, videos, edited versions and other files under
// "CameraRollDomain", and "Photos.sqlite" with the assets and albums of either generation of
// its schema. Files go in through the backup writer a test chooses (plain or encrypted), as
// `addFile(path, contents, lastModified)` of CameraRollDomain.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/WalDatabase.h"

namespace salvora::test {

enum class PhotoSchema {
    Asset,         // iOS 14 on: ZASSET, the join table Z_28ASSETS (Z_28ALBUMS, Z_3ASSETS)
    GenericAsset,  // before: ZGENERICASSET, the join table Z_23ASSETS (Z_23ALBUMS, Z_4ASSETS)
};

// One row of the asset table (Z_PK is its position, from 1) and its stored file.
struct PhotoAsset {
    std::string directory;  // ZDIRECTORY: "DCIM/100APPLE"
    std::string fileName;   // ZFILENAME
    std::optional<std::string> originalFileName{};
    double created = 0;  // ZDATECREATED: seconds since 2001-01-01 UTC
    int kind = 0;        // 0 photo, 1 video
    bool hidden = false;
    bool trashed = false;
    bool inBackup = true;  // false: kept only in iCloud, no file stored
};

struct PhotoAlbum {
    std::string title;
    int kind = 2;                        // 2: a user album
    std::vector<std::size_t> members{};  // indexes of the assets
};

// A file of the camera roll besides the assets' own: a Live Photo's video, an edited version,
// a thumbnail, an edit recipe.
struct CameraRollFile {
    std::string path;  // below the domain: "Media/DCIM/100APPLE/IMG_0001.MOV"
    std::string contents;
    std::uint32_t lastModified = 0;  // seconds since 1970
};

// What the backup holds as "Photos.sqlite".
enum class LibraryFile { Database, Missing, Damaged, UnknownSchema };

struct CameraRollDescription {
    PhotoSchema schema = PhotoSchema::Asset;
    LibraryFile library = LibraryFile::Database;
    std::vector<PhotoAsset> assets{};
    std::vector<PhotoAlbum> albums{};
    std::vector<CameraRollFile> files{};
    // With WalWithLog, the last two assets are only in "Photos.sqlite-wal", stored before it.
    JournalMode journal = JournalMode::Rollback;
};

using CameraRollFileAdder = std::function<void(const std::string& path, const std::string& contents,
                                               std::uint32_t lastModified)>;

// Adds every file of the camera roll, "Media/PhotoData/Photos.sqlite" last. An asset's file
// holds its ZFILENAME and is recorded as modified a day after the capture.
void writeCameraRoll(const CameraRollDescription& roll, const CameraRollFileAdder& addFile);

// The camera roll the export tests share: two generations of assets in DCIM and CPLAssets,
// one kept only in iCloud, one hidden, one deleted, two with the same original name, a Live
// Photo with an edited version, albums of every kind, a thumbnail, an edit recipe, and a
// screenshot the library doesn't list.
CameraRollDescription exampleCameraRoll(PhotoSchema schema, LibraryFile library);

}  // namespace salvora::test
