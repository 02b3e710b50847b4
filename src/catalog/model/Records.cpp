#include "catalog/model/Records.h"

#include <algorithm>

#include "catalog/model/HexName.h"

namespace salvora {

std::int64_t FileDetailsList::add(FileDetails details) {
    list_.push_back(std::move(details));
    return static_cast<std::int64_t>(list_.size() - 1);
}

const FileDetails& FileDetailsList::details(std::int64_t key) const {
    return list_.at(static_cast<std::size_t>(key));
}

std::string StoredName::spelled() const {
    std::string name;
    appendSpelled(name);
    return name;
}

void StoredName::appendSpelled(std::string& out) const {
    if (form == Form::Text) {
        out.append(bytes);
        return;
    }
    const auto key = std::as_bytes(std::span(bytes));
    if (form == Form::ShardedKey) {
        appendHexName(key.first(1), out);
        out += '/';
    }
    appendHexName(key, out);
}

FileRecord::FileRecord(const char* texts, std::size_t nameSize,
                       std::optional<std::size_t> fullpathSize, std::optional<bool> oldVersion,
                       const FileDetailsSource* detailsSource, std::int64_t detailsKey,
                       StoredName::Form nameForm)
    // A longer name can name no stored file: the record keeps its path and an empty name,
    // which no save takes for a file.
    : texts_(nameSize > maxStoredNameSize ? texts + nameSize : texts),
      detailsSource_(detailsSource),
      detailsKey_(detailsKey),
      fullpathSize_(fullpathSize ? static_cast<std::uint32_t>(*fullpathSize) : noFullpath),
      nameSize_(nameSize > maxStoredNameSize ? 0 : static_cast<std::uint16_t>(nameSize)),
      oldVersion_(oldVersion ? static_cast<std::uint8_t>(*oldVersion) : unknownVersion),
      nameForm_(nameSize > maxStoredNameSize ? StoredName::Form::Text : nameForm) {}

FileRecord FileRecord::writing(TextArena& texts, StoredName name, std::string_view head,
                               std::optional<std::string_view> fullpath,
                               std::optional<bool> oldVersion,
                               const FileDetailsSource* detailsSource, std::int64_t detailsKey) {
    const std::string_view nameBytes = name.bytes;
    const std::size_t fullpathSize = fullpath ? head.size() + fullpath->size() : 0;
    char* at = texts.allocate(nameBytes.size() + fullpathSize);
    nameBytes.copy(at, nameBytes.size());
    if (fullpath) {
        head.copy(at + nameBytes.size(), head.size());
        fullpath->copy(at + nameBytes.size() + head.size(), fullpath->size());
    }
    return {at,         nameBytes.size(), fullpath ? std::optional(fullpathSize) : std::nullopt,
            oldVersion, detailsSource,    detailsKey,
            name.form};
}

FileRecord FileRecord::copying(TextArena& texts, std::string_view name,
                               std::optional<std::string_view> fullpath,
                               std::optional<bool> oldVersion,
                               const FileDetailsSource* detailsSource, std::int64_t detailsKey) {
    return writing(texts, StoredName::text(name), "", fullpath, oldVersion, detailsSource,
                   detailsKey);
}

const FileDetails& FileRecord::details() const {
    static const FileDetails none;
    return detailsSource_ != nullptr ? detailsSource_->details(detailsKey_) : none;
}

void keepStorage(ApplicationRecord& application, std::shared_ptr<const RecordStorage> storage) {
    auto& kept = application.storage;
    if (std::find(kept.begin(), kept.end(), storage) == kept.end())
        kept.push_back(std::move(storage));
}

FileRecord& addFileCopyingTexts(ApplicationRecord& application, std::string_view name,
                                std::optional<std::string_view> fullpath,
                                std::optional<bool> oldVersion) {
    return application.files.emplace_back(
        FileRecord::copying(application.texts, name, fullpath, oldVersion));
}

std::shared_ptr<ApplicationRecord> getOrCreateApplicationNamed(std::string_view name,
                                                               ApplicationMap& applications) {
    if (auto found = applications.find(name); found != applications.end()) return found->second;
    auto record = std::make_shared<ApplicationRecord>();
    record->name = std::string(name);
    applications.emplace(record->name, record);
    return record;
}

std::size_t fileCount(const ApplicationMap& applications) {
    std::size_t count = 0;
    for (const auto& entry : applications) count += entry.second->files.size();
    return count;
}

}  // namespace salvora
