#pragma once

// The in-memory catalogue: one DeviceRecord per backup folder, its ApplicationMap of
// ApplicationRecords, and each application's FileRecords.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/model/TextArena.h"
#include "foundation/StringHash.h"

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

// What a layout records of a file on the device, where it records it.
struct FileDetails {
    std::optional<std::int64_t> modificationTime;  // seconds since 1970
    std::optional<std::uint64_t> size;
    // In an encrypted backup: the file's own key, as its protection class (4 bytes,
    // little-endian) followed by the key wrapped with that class's key. Absent for a file
    // stored as it is.
    std::optional<std::vector<std::byte>> encryptionKey;

    bool operator==(const FileDetails&) const = default;
};

// Where the details of a build's files come from. Only a save and the file table need them,
// so a layout that keeps them apart from what the lists show reads them when first asked for.
// Safe to ask from several threads.
class FileDetailsSource {
  public:
    virtual ~FileDetailsSource() = default;
    virtual const FileDetails& details(std::int64_t key) const = 0;
};

// Details known when the records are made, each kept under its number.
class FileDetailsList final : public FileDetailsSource {
  public:
    std::int64_t add(FileDetails details);
    const FileDetails& details(std::int64_t key) const override;

  private:
    std::deque<FileDetails> list_;
};

// What the records of a build refer to: their texts, and where their details come from.
struct RecordStorage {
    TextArena texts;
    std::unique_ptr<FileDetailsSource> details;
};

// A stored file's name as a layout gives it. The layouts since iOS 5 name each file by the 40
// hexadecimal digits of a 20-byte key; such a name is kept as the key, in half the room.
struct StoredName {
    enum class Form : std::uint8_t {
        Text,        // the characters as they are
        Key,         // the key's digits
        ShardedKey,  // the key's first two digits, "/", then all of them
    };
    static constexpr std::size_t keySize = 20;

    Form form = Form::Text;
    // The characters, or the key's bytes.
    std::string_view bytes;

    static StoredName text(std::string_view name) { return {Form::Text, name}; }
    static StoredName key(std::span<const std::byte> key, Form form) {
        return {form, {reinterpret_cast<const char*>(key.data()), key.size()}};
    }
    // The name spelled out, as the backup folder holds it.
    std::string spelled() const;
    // The same, appended to `out`: a listing of a million names makes none of its own.
    void appendSpelled(std::string& out) const;
};

// One backed-up file, in 32 bytes: a catalogue may hold millions. Its texts lie in storage its
// application keeps: the name, and right after it the full path. A stored name is at most
// maxStoredNameSize characters, far more than any file system allows.
class FileRecord {
  public:
    static constexpr std::size_t maxStoredNameSize = UINT16_MAX;

    FileRecord() = default;
    // The texts at `texts`: `nameSize` bytes of name, then the full path's characters.
    FileRecord(const char* texts, std::size_t nameSize, std::optional<std::size_t> fullpathSize,
               std::optional<bool> oldVersion, const FileDetailsSource* detailsSource = nullptr,
               std::int64_t detailsKey = 0, StoredName::Form nameForm = StoredName::Form::Text);
    // A record whose name and full path are written into `texts`, the full path with `head`
    // before it.
    static FileRecord writing(TextArena& texts, StoredName name, std::string_view head,
                              std::optional<std::string_view> fullpath,
                              std::optional<bool> oldVersion,
                              const FileDetailsSource* detailsSource = nullptr,
                              std::int64_t detailsKey = 0);
    // A record whose texts are copied into the arena.
    static FileRecord copying(TextArena& texts, std::string_view name,
                              std::optional<std::string_view> fullpath,
                              std::optional<bool> oldVersion,
                              const FileDetailsSource* detailsSource = nullptr,
                              std::int64_t detailsKey = 0);

    // The stored file, relative to the backup folder ("3d/3d0d...", "ab12....mdbackup").
    std::string name() const { return storedName().spelled(); }
    StoredName storedName() const { return {nameForm_, {texts_, nameSize_}}; }
    // The file's relative path on the device.
    std::optional<std::string_view> fullpath() const {
        if (fullpathSize_ == noFullpath) return std::nullopt;
        return std::string_view(texts_ + nameSize_, fullpathSize_);
    }
    // True: the stored file is a property list whose "Data" holds the contents.
    std::optional<bool> oldVersion() const {
        if (oldVersion_ == unknownVersion) return std::nullopt;
        return oldVersion_ == 1;
    }
    bool isOldVersion() const { return oldVersion_ == 1; }

    // What the layout records of the file on the device, read when first asked for.
    const std::optional<std::int64_t>& modificationTime() const {
        return details().modificationTime;
    }
    const std::optional<std::uint64_t>& size() const { return details().size; }
    const std::optional<std::vector<std::byte>>& encryptionKey() const {
        return details().encryptionKey;
    }
    const FileDetails& details() const;

  private:
    static constexpr std::uint32_t noFullpath = UINT32_MAX;
    static constexpr std::uint8_t unknownVersion = 2;

    const char* texts_ = "";
    const FileDetailsSource* detailsSource_ = nullptr;
    std::int64_t detailsKey_ = 0;
    std::uint32_t fullpathSize_ = noFullpath;
    std::uint16_t nameSize_ = 0;
    std::uint8_t oldVersion_ = unknownVersion;
    StoredName::Form nameForm_ = StoredName::Form::Text;
};

// What an application of a modern backup (Manifest.db, the database without index) gathers:
// an application's containers, a group or an extension no application in the backup owns,
// the system containers, or another domain.
enum class ApplicationKind { App, Group, Plugin, System, Domain };

struct ApplicationRecord {
    std::string name;
    // In the order the readers found them; never sorted, never de-duplicated.
    std::vector<FileRecord> files;
    // What its files' texts and details lie in, shared with the other applications of a build.
    std::vector<std::shared_ptr<const RecordStorage>> storage;
    // The texts of files filed one at a time.
    TextArena texts;
    // Known only for the modern layouts, which group containers by the application owning them.
    std::optional<ApplicationKind> kind{};
    std::optional<std::string> displayName{};
    // The domains whose files it holds, in the order they were first met.
    std::vector<std::string> domains{};
};

// Files a record made one at a time, its texts copied into the application's own arena.
FileRecord& addFileCopyingTexts(ApplicationRecord& application, std::string_view name,
                                std::optional<std::string_view> fullpath,
                                std::optional<bool> oldVersion);

// Keeps the storage alive with the application, once however many of its files use it.
void keepStorage(ApplicationRecord& application, std::shared_ptr<const RecordStorage> storage);

// Application name (exact, with case) to its record; the key always equals the record's name.
using ApplicationMap = std::unordered_map<std::string, std::shared_ptr<ApplicationRecord>,
                                          StringHash, std::equal_to<>>;

using ApplicationList = std::vector<std::shared_ptr<ApplicationRecord>>;

// How many files all the applications hold.
std::size_t fileCount(const ApplicationMap& applications);

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
