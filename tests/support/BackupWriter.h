#pragma once

// Writes a backup folder in any of the layouts the catalogue reads, stored files included, so
// tests build the backups they read. Every add rewrites the layout's manifest files at once,
// so a test can read the folder after any step.
//
//   BackupWriter backup(folder.path());
//   backup.addManifestDatabaseFile("AppDomain-com.example.notes", "Documents/a.txt", "hello");
//   backup.addMdbackupFile("x.mdbackup", "Library/Preferences/a.plist", "contents");
//   backup.addManifestDbFile("HomeDomain", "Library/SMS/sms.db", "sqlite bytes");
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/ArchivedFileBlob.h"
#include "support/ManifestDatabaseBytes.h"
#include "support/ManifestDbWriter.h"
#include "support/PlistValue.h"

namespace salvora::test {

// What one ".mdinfo" file says; an absent value leaves its key out.
struct MdinfoDescription {
    std::optional<std::string> domain;          // outer "Domain"
    std::optional<std::string> path;            // outer "Path"
    std::optional<std::string> metadataDomain;  // "Domain" of the embedded "Metadata" list
    std::optional<std::string> metadataPath;    // "Path" of the embedded "Metadata" list
    bool withMetadata = true;
    PlistFormat format = PlistFormat::Binary;
    PlistFormat metadataFormat = PlistFormat::Binary;
};

// The ".mdinfo" list itself, for tests that change it before writing it.
PlistValue mdinfoPlist(const MdinfoDescription& description);

class BackupWriter {
  public:
    // Creates the folder and the levels above it when missing.
    explicit BackupWriter(std::string folder);

    const std::string& folder() const { return folder_; }
    std::string operator/(std::string_view name) const;

    // "Manifest.mbdx" and "Manifest.mbdb": a regular file keyed by SHA-1 of "domain-path",
    // stored under the key's 40 hexadecimal digits. Returns the stored name.
    std::string addManifestDatabaseFile(const std::string& domain, const std::string& path,
                                        std::string_view contents);
    // Any entry (other modes and keys, absent strings); writes no stored file.
    void addManifestDatabaseEntry(ManifestEntry entry);
    // Writes the two files exactly as given, for damaged ones; a later add rewrites them.
    void writeManifestDatabase(const ManifestDatabaseBytes& bytes) const;

    // The iOS 5 to 9 "Manifest.mbdb" without index: a regular file stored under SHA-1 of
    // "domain-path", with its size and modification time in the record. Returns the name.
    // A record may carry an encryption key whatever the stored file is.
    std::string addUnindexedDatabaseFile(
        const std::string& domain, const std::string& path, std::string_view contents,
        std::uint32_t lastModified = 0,
        const std::optional<std::vector<std::byte>>& encryptionKey = {});
    void addUnindexedDatabaseRecord(DatabaseRecord record);

    // A ".mdbackup" list named `name` with "Path" (left out when absent) and "Data".
    // Returns the name.
    std::string addMdbackupFile(const std::string& name, const std::optional<std::string>& path,
                                std::string_view contents, PlistFormat format = PlistFormat::Xml);

    // The ".mdinfo" list named `name` and, when contents are given, the ".mddata" file
    // beside it. Returns the ".mddata" name.
    std::string addMdinfoFile(const std::string& name, const MdinfoDescription& description,
                              std::optional<std::string_view> contents = std::nullopt);

    // "Manifest.plist": a display name under "Data" -> "Applications" -> application ->
    // "AppInfo" -> "CFBundleDisplayName", and any other top-level value.
    void addDisplayName(const std::string& application, const std::string& displayName);
    void setManifestPlistValue(const std::string& key, const PlistValue& value);

    // "Manifest.db": a regular file stored as "ab/abcd…" (SHA-1 of "domain-path"), its row's
    // "file" blob an MBFile with Size, LastModified, ProtectionClass and, when given,
    // EncryptionKey. Returns the name. `type` makes the row say it is another item, or
    // leaves the saying to the Mode.
    std::string addManifestDbFile(const std::string& domain, const std::string& path,
                                  std::string_view contents, std::uint64_t lastModified = 0,
                                  const std::optional<std::vector<std::byte>>& encryptionKey = {},
                                  ManifestDbItemType type = {});
    void addManifestDbRow(const ManifestDbRow& row) const;

  private:
    void writeManifestPlist() const;

    std::string folder_;
    std::vector<ManifestEntry> manifestEntries_;
    std::vector<DatabaseRecord> unindexedRecords_;
    std::vector<std::pair<std::string, std::string>> displayNames_;
    PlistValue manifestPlist_ = PlistValue::dictionary();
};

}  // namespace salvora::test
