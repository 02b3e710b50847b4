#pragma once

// Looks into a built catalogue the way tests compare it.
#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/Records.h"
#include "foundation/Error.h"

namespace salvora::test {

inline const ApplicationRecord& applicationIn(const ApplicationMap& applications,
                                              std::string_view name) {
    auto found = applications.find(name);
    if (found == applications.end()) {
        throw std::runtime_error("no application named \"" + std::string(name) + "\"");
    }
    return *found->second;
}

inline std::vector<std::string> storedNames(const ApplicationRecord& application) {
    std::vector<std::string> names;
    for (const FileRecord& file : application.files) names.emplace_back(file.name());
    return names;
}

inline std::vector<std::optional<std::string>> fullpaths(const ApplicationRecord& application) {
    std::vector<std::optional<std::string>> paths;
    for (const FileRecord& file : application.files) {
        paths.push_back(file.fullpath() ? std::optional<std::string>(*file.fullpath())
                                        : std::nullopt);
    }
    return paths;
}

// Whether a build stopped for the backup's password.
inline bool needsPassword(const Result<ApplicationList>& build) {
    return !build && build.error().kind == ErrorKind::NeedsPassword;
}

// Every application name, in byte order.
inline std::vector<std::string> applicationNames(const ApplicationMap& applications) {
    std::vector<std::string> names;
    for (const auto& entry : applications) names.push_back(entry.first);
    std::sort(names.begin(), names.end());
    return names;
}

using salvora::fileCount;

}  // namespace salvora::test
