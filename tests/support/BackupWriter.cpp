#include "support/BackupWriter.h"

#include <filesystem>

#include "foundation/BackupFileNames.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {
namespace {

std::string replacingExtension(const std::string& name, std::string_view extension) {
    return std::filesystem::path(name).replace_extension(extension).string();
}

}  // namespace

PlistValue mdinfoPlist(const MdinfoDescription& description) {
    PlistValue outer = PlistValue::dictionary({{"Version", PlistValue::string("3.0")}});
    if (description.domain) outer.set("Domain", PlistValue::string(*description.domain));
    if (description.path) outer.set("Path", PlistValue::string(*description.path));
    if (description.withMetadata) {
        PlistValue inner = PlistValue::dictionary({{"Greylist", PlistValue::boolean(false)}});
        if (description.metadataDomain) {
            inner.set("Domain", PlistValue::string(*description.metadataDomain));
        }
        if (description.metadataPath) {
            inner.set("Path", PlistValue::string(*description.metadataPath));
        }
        outer.set("Metadata", PlistValue::data(inner.encode(description.metadataFormat)));
    }
    return outer;
}

BackupWriter::BackupWriter(std::string folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
}

std::string BackupWriter::operator/(std::string_view name) const {
    return folder_ + "/" + std::string(name);
}

std::string BackupWriter::addManifestDatabaseFile(const std::string& domain,
                                                  const std::string& path,
                                                  std::string_view contents) {
    ManifestEntry entry{sha1Key(domain, path), {}};
    entry.record.domain = domain;
    entry.record.path = path;
    entry.record.size = contents.size();
    std::string name = hexDigits(entry.key);
    writeFile(*this / name, contents);
    addManifestDatabaseEntry(std::move(entry));
    return name;
}

void BackupWriter::addManifestDatabaseEntry(ManifestEntry entry) {
    manifestEntries_.push_back(std::move(entry));
    writeManifestDatabase(manifestDatabaseBytes(manifestEntries_));
}

void BackupWriter::writeManifestDatabase(const ManifestDatabaseBytes& bytes) const {
    writeFile(*this / ManifestMbdxName, bytes.index);
    writeFile(*this / ManifestMbdbName, bytes.database);
}

std::string BackupWriter::addUnindexedDatabaseFile(
    const std::string& domain, const std::string& path, std::string_view contents,
    std::uint32_t lastModified, const std::optional<std::vector<std::byte>>& encryptionKey) {
    DatabaseRecord record;
    record.domain = domain;
    record.path = path;
    record.size = contents.size();
    record.lastModified = lastModified;
    if (encryptionKey)
        record.encryptionKey = std::string(reinterpret_cast<const char*>(encryptionKey->data()),
                                           encryptionKey->size());
    std::string name = hexDigits(sha1Key(domain, path));
    writeFile(*this / name, contents);
    addUnindexedDatabaseRecord(std::move(record));
    return name;
}

void BackupWriter::addUnindexedDatabaseRecord(DatabaseRecord record) {
    unindexedRecords_.push_back(std::move(record));
    writeFile(*this / ManifestMbdbName, unindexedDatabaseBytes(unindexedRecords_));
}

std::string BackupWriter::addMdbackupFile(const std::string& name,
                                          const std::optional<std::string>& path,
                                          std::string_view contents, PlistFormat format) {
    PlistValue list = PlistValue::dictionary(
        {{"Data", PlistValue::data(bytesOf(contents))}, {"Version", PlistValue::string("2.0")}});
    if (path) list.set("Path", PlistValue::string(*path));
    list.write(*this / name, format);
    return name;
}

std::string BackupWriter::addMdinfoFile(const std::string& name,
                                        const MdinfoDescription& description,
                                        std::optional<std::string_view> contents) {
    mdinfoPlist(description).write(*this / name, description.format);
    std::string dataName = replacingExtension(name, ".mddata");
    if (contents) writeFile(*this / dataName, *contents);
    return dataName;
}

void BackupWriter::addDisplayName(const std::string& application, const std::string& displayName) {
    displayNames_.emplace_back(application, displayName);
    writeManifestPlist();
}

void BackupWriter::setManifestPlistValue(const std::string& key, const PlistValue& value) {
    manifestPlist_.set(key, value);
    writeManifestPlist();
}

void BackupWriter::writeManifestPlist() const {
    PlistValue top = manifestPlist_;
    if (!displayNames_.empty()) {
        PlistValue applications = PlistValue::dictionary();
        for (const auto& [application, displayName] : displayNames_) {
            applications.set(
                application,
                PlistValue::dictionary(
                    {{"AppInfo", PlistValue::dictionary({{"CFBundleDisplayName",
                                                          PlistValue::string(displayName)}})}}));
        }
        PlistValue data = PlistValue::dictionary({{"Applications", applications}});
        top.set("Data", PlistValue::data(data.encode(PlistFormat::Binary)));
    }
    top.write(*this / ManifestPlistName, PlistFormat::Xml);
}

std::string BackupWriter::addManifestDbFile(
    const std::string& domain, const std::string& path, std::string_view contents,
    std::uint64_t lastModified, const std::optional<std::vector<std::byte>>& encryptionKey,
    ManifestDbItemType type) {
    std::string fileID = hexDigits(sha1Key(domain, path));
    std::string name = fileID.substr(0, 2) + "/" + fileID;
    writeFile(*this / name, contents);
    ArchivedFileFields fields;
    fields.relativePath = path;
    fields.size = contents.size();
    fields.lastModified = lastModified;
    fields.protectionClass = 3;
    fields.encryptionKey = encryptionKey;
    fields.mode = type.mode;
    addManifestDbRow({fileID, domain, path, type.flags, archivedFileBlob(fields)});
    return name;
}

void BackupWriter::addManifestDbRow(const ManifestDbRow& row) const {
    appendManifestDbRows(*this / ManifestDbName, {row});
}

}  // namespace salvora::test
