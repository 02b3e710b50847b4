#pragma once

// The in-memory catalogue: one DeviceRecord per backup folder, its ApplicationMap of
// ApplicationRecords, and each application's FileRecords.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace salvora {

// The keys of the records, as the window's column identifiers and the JSON output name them.
inline constexpr std::string_view DeviceName = "name";
inline constexpr std::string_view DeviceDate = "date";
inline constexpr std::string_view DeviceDirectory = "directory";
inline constexpr std::string_view DeviceProductVersion = "productVersion";
inline constexpr std::string_view DeviceProductType = "productType";
inline constexpr std::string_view DeviceApplications = "applications";
inline constexpr std::string_view DeviceApplicationName = "name";
inline constexpr std::string_view DeviceApplicationFiles = "files";
inline constexpr std::string_view DeviceApplicationFileName = "name";
inline constexpr std::string_view DeviceApplicationFileRealName = "fullpath";
inline constexpr std::string_view DeviceApplicationOldVersion = "oldVersion";

// One backed-up file.
struct FileRecord {
    // The stored file, relative to the backup folder ("3d/3d0d...", "ab12....mdbackup").
    std::string name;
    // The file's relative path on the device.
    std::optional<std::string> fullpath;
    // True: the stored file is a property list whose "Data" holds the contents.
    std::optional<bool> oldVersion;
    // What the layout records of the file on the device, where it records it.
    std::optional<std::int64_t> modificationTime;  // seconds since 1970
    std::optional<std::uint64_t> size;
    // In an encrypted backup: the file's own key, as its protection class (4 bytes,
    // little-endian) followed by the key wrapped with that class's key. Absent for a file
    // stored as it is.
    std::optional<std::vector<std::byte>> encryptionKey{};

    bool isOldVersion() const { return oldVersion.value_or(false); }
};

// What an application of a modern backup (Manifest.db, the database without index) gathers:
// an application's containers, a group or an extension no application in the backup owns,
// the system containers, or another domain.
enum class ApplicationKind { App, Group, Plugin, System, Domain };

struct ApplicationRecord {
    std::string name;
    // In the order the readers found them; never sorted, never de-duplicated.
    std::vector<FileRecord> files;
    // Known only for the modern layouts, which group containers by the application owning them.
    std::optional<ApplicationKind> kind{};
    std::optional<std::string> displayName{};
    // The domains whose files it holds, in the order they were first met.
    std::vector<std::string> domains{};
};

// Hashing that lets a map be searched with a string_view without making a string.
struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};

// Application name (exact, with case) to its record; the key always equals the record's name.
using ApplicationMap = std::unordered_map<std::string, std::shared_ptr<ApplicationRecord>,
                                          StringHash, std::equal_to<>>;

using ApplicationList = std::vector<std::shared_ptr<ApplicationRecord>>;

struct DeviceRecord {
    std::optional<std::string> name;  // "Device Name" of the folder's Info.plist
    std::optional<std::string> date;  // the folder's modification time, as dateText gives it
    std::string directory;            // full path of the backup folder
    std::shared_ptr<ApplicationMap> applications;  // the map of the last catalogue build
    std::optional<std::string> productVersion{};   // "Product Version" of Info.plist: iOS
    std::optional<std::string> productType{};      // "Product Type": the model ("iPhone15,2")
};

using DeviceList = std::vector<std::shared_ptr<DeviceRecord>>;

// Application name to display name, from a backup's "Manifest.plist".
using TranslationNames = std::unordered_map<std::string, std::string, StringHash, std::equal_to<>>;

// The one way an ApplicationRecord comes into being: the record stored under the name,
// created (with no files) on first use.
std::shared_ptr<ApplicationRecord> getOrCreateApplicationNamed(std::string_view name,
                                                               ApplicationMap& applications);

}  // namespace salvora
