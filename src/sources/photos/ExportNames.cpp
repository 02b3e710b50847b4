#include "sources/photos/ExportNames.h"

#include <cstdio>
#include <ctime>
#include <utility>

#include "foundation/Path.h"
#include "recovery/SafeNames.h"

namespace salvora {

std::string nameWithExtensionOf(std::string_view name, std::string_view otherName,
                                std::string_view suffix) {
    auto stem = stemAndExtension(name).first;
    const std::string otherLast = lastPathComponent(otherName);
    auto extension = stemAndExtension(otherLast).second;
    return std::string(stem).append(suffix).append(extension);
}

std::vector<std::string> datedFolder(std::optional<std::int64_t> date) {
    std::tm local{};
    const auto seconds = static_cast<std::time_t>(date.value_or(0));
    if (!date || ::localtime_r(&seconds, &local) == nullptr) return {"Undated"};
    char year[16];
    char month[16];
    std::snprintf(year, sizeof year, "%04d", local.tm_year + 1900);
    std::snprintf(month, sizeof month, "%02d", local.tm_mon + 1);
    return {year, month};
}

}  // namespace salvora
