#pragma once

// Stored files of a backup folder and the records that point at them, for the savers' tests.
#include <optional>
#include <string>

#include "catalog/model/Records.h"
#include "support/PlistValue.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {

// A record whose texts and details are kept for the whole test program, as a catalogue keeps
// its records'.
inline FileRecord keptRecord(std::string_view storedName, std::optional<std::string_view> fullpath,
                             std::optional<bool> oldVersion, FileDetails details = {}) {
    static ApplicationRecord keeper;
    static FileDetailsList detailsList;
    return FileRecord::copying(keeper.texts, storedName, fullpath, oldVersion, &detailsList,
                               detailsList.add(std::move(details)));
}

// A record of the copy way: the stored file is the content itself.
inline FileRecord copiedRecord(std::string_view storedName,
                               std::optional<std::string_view> fullpath) {
    return keptRecord(storedName, fullpath, false);
}

// A record of the write way: the stored file is a property list holding the content.
inline FileRecord writtenRecord(std::string_view storedName,
                                std::optional<std::string_view> fullpath) {
    return keptRecord(storedName, fullpath, true);
}

// A record of the ".mdinfo" layout, which has no "oldVersion": read as the copy way.
inline FileRecord pairRecord(std::string_view storedName,
                             std::optional<std::string_view> fullpath) {
    return keptRecord(storedName, fullpath, std::nullopt);
}

// A ".mdbackup" property list with "Path" and "Data", as the sync service wrote them.
inline void writeMdbackup(const std::string& path, const std::string& devicePath,
                          std::string_view contents, PlistFormat format = PlistFormat::Binary) {
    PlistValue::dictionary({{"Path", PlistValue::string(devicePath)},
                            {"Domain", PlistValue::string("HomeDomain")},
                            {"Data", PlistValue::data(bytesOf(contents))}})
        .write(path, format);
}

}  // namespace salvora::test
