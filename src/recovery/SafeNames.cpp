#include "recovery/SafeNames.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace salvora {
namespace {

// Each character Windows refuses, and the full-width form that stands in for it.
constexpr std::array<std::pair<char, std::string_view>, 8> lookAlikes = {{
    {':', "："},
    {'?', "？"},
    {'"', "＂"},
    {'*', "＊"},
    {'|', "｜"},
    {'<', "＜"},
    {'>', "＞"},
    {'\\', "＼"},
}};

// The code point at `offset` and the bytes it takes; a byte that starts no valid sequence
// counts as one byte standing for -1.
std::pair<UChar32, std::size_t> codePointAt(std::string_view text, std::size_t offset) {
    std::int32_t next = static_cast<std::int32_t>(offset);
    UChar32 c = 0;
    U8_NEXT(text.data(), next, static_cast<std::int32_t>(text.size()), c);
    return {c, static_cast<std::size_t>(next) - offset};
}

std::size_t unitsOf(UChar32 c, std::size_t bytes, LengthUnit unit) {
    if (unit == LengthUnit::Bytes) return bytes;
    return c > 0xFFFF ? 2 : 1;
}

// The longest start of `text` within `limit` units, ending between two code points.
std::string_view startWithin(std::string_view text, std::size_t limit, LengthUnit unit) {
    std::size_t offset = 0;
    std::size_t units = 0;
    while (offset < text.size()) {
        auto [c, bytes] = codePointAt(text, offset);
        units += unitsOf(c, bytes, unit);
        if (units > limit) break;
        offset += bytes;
    }
    return text.substr(0, offset);
}

bool isDeviceName(std::string_view part) {
    std::string upper(part);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '1' && upper[3] <= '9';
}

// The stem cut to at most `room` units, losing what a cut leaves at its end
// that Windows doesn't take there.
std::string cutStem(std::string_view stem, std::size_t room, LengthUnit unit) {
    std::string_view cut = startWithin(stem, room, unit);
    if (cut.size() < stem.size())
        while (!cut.empty() && (cut.back() == '.' || cut.back() == ' ')) cut.remove_suffix(1);
    return std::string(cut);
}

}  // namespace

std::string portableName(std::string_view name) {
    std::string safe;
    safe.reserve(name.size());
    for (std::size_t offset = 0; offset < name.size();) {
        const auto [c, bytes] = codePointAt(name, offset);
        // clang before 16 can't capture a structured binding, so the lambda takes a copy.
        const auto lookAlike = std::find_if(
            lookAlikes.begin(), lookAlikes.end(),
            [code = c](auto& each) { return code == static_cast<unsigned char>(each.first); });
        if (lookAlike != lookAlikes.end())
            safe += lookAlike->second;
        else if (c < 0x20)  // control characters, and bytes that are no UTF-8 (-1)
            safe += '_';
        else
            safe.append(name.substr(offset, bytes));
        offset += bytes;
    }
    const std::size_t deviceEnd = std::min(safe.find('.'), safe.size());
    if (isDeviceName(std::string_view(safe).substr(0, deviceEnd))) safe.insert(deviceEnd, "_");
    if (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe += '_';
    return safe;
}

std::string nameForEverySystem(std::string_view name) {
    return fittedName(portableName(name), portableNameLength, LengthUnit::Bytes);
}

std::size_t nameLength(std::string_view name, LengthUnit unit) {
    std::size_t units = 0;
    for (std::size_t offset = 0; offset < name.size();) {
        auto [c, bytes] = codePointAt(name, offset);
        units += unitsOf(c, bytes, unit);
        offset += bytes;
    }
    return units;
}

std::string fittedName(std::string_view name, std::size_t limit, LengthUnit unit) {
    if (nameLength(name, unit) <= limit) return std::string(name);
    auto [stem, extension] = stemAndExtension(name);
    const std::size_t extensionLength = nameLength(extension, unit);
    if (extensionLength >= limit) return cutStem(name, limit, unit);
    return cutStem(stem, limit - extensionLength, unit) + std::string(extension);
}

std::string numberedName(std::string_view name, unsigned number, std::size_t limit,
                         LengthUnit unit) {
    if (number <= 1) return std::string(name);
    auto [stem, extension] = stemAndExtension(name);
    const std::string suffix = " (" + std::to_string(number) + ")" + std::string(extension);
    const std::size_t suffixLength = nameLength(suffix, unit);
    if (suffixLength >= limit) return cutStem(std::string(stem) + suffix, limit, unit);
    return cutStem(stem, limit - suffixLength, unit) + suffix;
}

std::string letterCaseKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (std::size_t offset = 0; offset < name.size();) {
        auto [c, bytes] = codePointAt(name, offset);
        if (c < 0) {
            key += name[offset];
        } else {
            char folded[U8_MAX_LENGTH];
            std::int32_t length = 0;
            U8_APPEND_UNSAFE(folded, length, u_foldCase(c, U_FOLD_CASE_DEFAULT));
            key.append(folded, static_cast<std::size_t>(length));
        }
        offset += bytes;
    }
    return key;
}

std::pair<std::string_view, std::string_view> stemAndExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {name, {}};
    return {name.substr(0, dot), name.substr(dot)};
}

std::string withoutSeparators(std::string_view name) {
    std::string plain(name);
    std::replace(plain.begin(), plain.end(), '/', '_');
    std::replace(plain.begin(), plain.end(), '\0', '_');
    return plain;
}

std::string plainFileName(std::string_view name, std::string_view fallback) {
    if (name.empty() || name == "." || name == "..") {
        return fallback.empty() || fallback == "." || fallback == ".." ? std::string("_")
                                                                       : plainFileName(fallback);
    }
    return withoutSeparators(name);
}

}  // namespace salvora
