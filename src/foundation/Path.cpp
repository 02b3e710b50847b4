#include "foundation/Path.h"

namespace salvora {
namespace {

constexpr char separator = '/';

std::string_view withoutTrailingSeparators(std::string_view path) {
    while (path.size() > 1 && path.back() == separator) path.remove_suffix(1);
    return path;
}

}  // namespace

std::vector<std::string_view> pathComponents(std::string_view path) {
    std::vector<std::string_view> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(separator, start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

std::string appendingPathComponent(std::string_view path, std::string_view component) {
    std::string result(withoutTrailingSeparators(path));
    for (std::string_view piece : pathComponents(component)) {
        if (!result.empty() && result.back() != separator) result += separator;
        result += piece;
    }
    return result;
}

std::string lastPathComponent(std::string_view path) {
    path = withoutTrailingSeparators(path);
    if (path == "/") return std::string(path);
    std::size_t cut = path.rfind(separator);
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string deletingLastPathComponent(std::string_view path) {
    path = withoutTrailingSeparators(path);
    if (path == "/") return std::string(path);
    std::size_t cut = path.rfind(separator);
    if (cut == std::string_view::npos) return {};
    if (cut == 0) return "/";
    return std::string(withoutTrailingSeparators(path.substr(0, cut)));
}

std::string deletingPathExtension(std::string_view path) {
    path = withoutTrailingSeparators(path);
    std::size_t lastSeparator = path.rfind(separator);
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos ||
        (lastSeparator != std::string_view::npos && dot < lastSeparator)) {
        return std::string(path);
    }
    return std::string(path.substr(0, dot));
}

bool hasEnding(std::string_view name, std::string_view lowercaseEnding) {
    if (name.size() < lowercaseEnding.size()) return false;
    name.remove_prefix(name.size() - lowercaseEnding.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lowercaseEnding[i]) return false;
    }
    return true;
}

std::string appendingPathExtension(std::string_view path, std::string_view extension) {
    std::string result(withoutTrailingSeparators(path));
    result += '.';
    result += extension;
    return result;
}

}  // namespace salvora
