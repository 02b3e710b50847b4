#include "photos/ExportNames.h"

#include <cstdio>
#include <ctime>
#include <utility>

#include "foundation/Path.h"

namespace salvora {
namespace {

// The stem and the extension with its dot; a name's leading dot starts no extension.
std::pair<std::string_view, std::string_view> stemAndExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {name, {}};
    return {name.substr(0, dot), name.substr(dot)};
}

}  // namespace

std::string plainFileName(std::string_view name, std::string_view fallback) {
    if (name.empty() || name == "." || name == "..") {
        return fallback.empty() || fallback == "." || fallback == ".." ? std::string("_")
                                                                       : plainFileName(fallback);
    }
    std::string plain(name);
    for (char& c : plain)
        if (c == '/' || c == '\0') c = '_';
    return plain;
}

std::string numberedName(std::string_view name, unsigned number) {
    if (number <= 1) return std::string(name);
    auto [stem, extension] = stemAndExtension(name);
    return std::string(stem) + " (" + std::to_string(number) + ")" + std::string(extension);
}

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
