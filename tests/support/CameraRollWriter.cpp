#include "support/CameraRollWriter.h"

#include "support/WalDatabase.h"

namespace salvora::test {
namespace {

constexpr std::int64_t referenceEpoch = 978307200;

// Seconds since 2001-01-01 UTC.
constexpr double june30At2330Utc = 709860600;  // July 1st, 01:30 in Berlin
constexpr double july2 = 709984800;
constexpr double august15 = 713793600;
constexpr double december31At2330Utc = 694222200;  // January 1st, 00:30 in Berlin
constexpr double may1 = 704620800;

std::string quotedText(const std::optional<std::string>& text) {
    if (!text) return "NULL";
    std::string quoted = "'";
    for (char c : *text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

// The schema's own names for the asset table and the album join with its two columns.
struct SchemaNames {
    std::string assets, join, joinAlbums, joinAssets;
};

SchemaNames namesOf(PhotoSchema schema) {
    if (schema == PhotoSchema::Asset) return {"ZASSET", "Z_28ASSETS", "Z_28ALBUMS", "Z_3ASSETS"};
    return {"ZGENERICASSET", "Z_23ASSETS", "Z_23ALBUMS", "Z_4ASSETS"};
}

std::string schemaSql(const SchemaNames& names) {
    return "CREATE TABLE " + names.assets +
           " (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, ZDIRECTORY VARCHAR, ZFILENAME VARCHAR, "
           "ZDATECREATED TIMESTAMP, ZKIND INTEGER, ZTRASHEDSTATE INTEGER, ZHIDDEN INTEGER);"
           "CREATE TABLE ZADDITIONALASSETATTRIBUTES (Z_PK INTEGER PRIMARY KEY, ZASSET INTEGER, "
           "ZORIGINALFILENAME VARCHAR);"
           "CREATE TABLE ZGENERICALBUM (Z_PK INTEGER PRIMARY KEY, ZKIND INTEGER, ZTITLE VARCHAR);"
           "CREATE TABLE Z_1KEYWORDS (Z_1ASSETS INTEGER, Z_40KEYWORDS INTEGER);"
           "CREATE TABLE " +
           names.join + " (" + names.joinAlbums + " INTEGER, " + names.joinAssets +
           " INTEGER, Z_FOK_" + names.joinAssets.substr(2) + " INTEGER);";
}

// The rows of the assets from `first` on, up to `end`.
std::string assetsSql(const CameraRollDescription& roll, std::size_t first, std::size_t end) {
    const SchemaNames names = namesOf(roll.schema);
    std::string sql;
    for (std::size_t index = first; index < end; ++index) {
        const PhotoAsset& asset = roll.assets[index];
        const std::string id = std::to_string(index + 1);
        sql += "INSERT INTO " + names.assets + " VALUES (" + id + ", 3, " +
               quotedText(asset.directory) + ", " + quotedText(asset.fileName) + ", " +
               std::to_string(asset.created) + ", " + std::to_string(asset.kind) + ", " +
               (asset.trashed ? "1" : "0") + ", " + (asset.hidden ? "1" : "0") + ");";
        if (asset.originalFileName)
            sql += "INSERT INTO ZADDITIONALASSETATTRIBUTES (ZASSET, ZORIGINALFILENAME) VALUES (" +
                   id + ", " + quotedText(asset.originalFileName) + ");";
    }
    return sql;
}

std::string albumsSql(const CameraRollDescription& roll) {
    const SchemaNames names = namesOf(roll.schema);
    std::string sql;
    for (std::size_t index = 0; index < roll.albums.size(); ++index) {
        const std::string id = std::to_string(index + 1);
        sql += "INSERT INTO ZGENERICALBUM VALUES (" + id + ", " +
               std::to_string(roll.albums[index].kind) + ", " +
               quotedText(roll.albums[index].title) + ");";
        for (std::size_t member : roll.albums[index].members)
            sql += "INSERT INTO " + names.join + " VALUES (" + id + ", " +
                   std::to_string(member + 1) + ", 0);";
    }
    return sql;
}

// The newest assets, the last two, are the rows a "-wal" holds.
DatabaseFiles libraryFiles(const CameraRollDescription& roll) {
    if (roll.library == LibraryFile::UnknownSchema)
        return databaseFiles(
            roll.journal, "CREATE TABLE ZMOMENT (Z_PK INTEGER PRIMARY KEY, ZTITLE VARCHAR);", "");
    const std::size_t older = roll.assets.size() < 2 ? 0 : roll.assets.size() - 2;
    return databaseFiles(roll.journal,
                         "BEGIN;" + schemaSql(namesOf(roll.schema)) + assetsSql(roll, 0, older) +
                             albumsSql(roll) + "COMMIT;",
                         "BEGIN;" + assetsSql(roll, older, roll.assets.size()) + "COMMIT;");
}

// A day after the capture, so a test tells which date was used.
std::uint32_t assetLastModified(const PhotoAsset& asset) {
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(asset.created) + referenceEpoch +
                                      86400);
}

}  // namespace

void writeCameraRoll(const CameraRollDescription& roll, const CameraRollFileAdder& addFile) {
    for (const PhotoAsset& asset : roll.assets)
        if (asset.inBackup)
            addFile("Media/" + asset.directory + "/" + asset.fileName, asset.fileName,
                    assetLastModified(asset));
    for (const CameraRollFile& file : roll.files)
        addFile(file.path, file.contents, file.lastModified);
    if (roll.library == LibraryFile::Missing) return;
    if (roll.library == LibraryFile::Damaged) {
        addFile("Media/PhotoData/Photos.sqlite", std::string(4096, 'x'), 0);
        return;
    }
    const DatabaseFiles library = libraryFiles(roll);
    if (library.wal) addFile("Media/PhotoData/Photos.sqlite-wal", *library.wal, 0);
    addFile("Media/PhotoData/Photos.sqlite", library.main, 0);
}

CameraRollDescription exampleCameraRoll(PhotoSchema schema, LibraryFile library) {
    CameraRollDescription roll{schema, library};
    roll.assets = {
        {"DCIM/100APPLE", "IMG_0001.HEIC", "Beach.HEIC", june30At2330Utc},
        {"DCIM/100APPLE", "IMG_0002.MOV", std::nullopt, july2, 1},
        {"DCIM/100APPLE", "IMG_0003.JPG", std::nullopt, august15, 0, true},
        {"DCIM/100APPLE", "IMG_0004.JPG", std::nullopt, august15, 0, false, true},
        {"PhotoData/CPLAssets/group412", "8F1C2D3E.HEIC", "IMG_5000.HEIC", december31At2330Utc},
        {"PhotoData/CPLAssets/group413", "9A0B1C2D.JPG", "IMG_5001.JPG", may1, 0, false, false,
         false},
        {"DCIM/101APPLE", "IMG_0007.HEIC", "Beach.HEIC", july2},
    };
    roll.albums = {{"Holiday", 2, {0, 1}}, {"Favorites", 1000, {4}}, {"Secret", 2, {2}}};
    roll.files = {
        {"Media/DCIM/100APPLE/IMG_0001.MOV", "live video", 5},
        {"Media/DCIM/100APPLE/IMG_0001.AAE", "edit recipe", 5},
        {"Media/PhotoData/Mutations/DCIM/100APPLE/IMG_0001/Adjustments/FullSizeRender.jpg",
         "edited", 5},
        {"Media/PhotoData/Thumbnails/V2/DCIM/100APPLE/IMG_0001.HEIC/5005.JPG", "thumbnail", 5},
        {"Media/DCIM/101APPLE/IMG_0100.PNG", "screenshot", 1682928000},  // May 1st, 2023
    };
    return roll;
}

}  // namespace salvora::test
