#include "catalog/naming/IdentifierLabels.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <span>

#include "foundation/AsciiCase.h"

namespace salvora {
namespace {

constexpr auto partLabels = std::to_array<std::string_view>({
    "app",
    "apps",
    "client",
    "common",
    "containers",
    "ext",
    "extension",
    "group",
    "groups",
    "intents",
    "intentsextension",
    "ios",
    "ipad",
    "iphone",
    "main",
    "mobile",
    "notification",
    "notificationservice",
    "plugin",
    "share",
    "shared",
    "shareextension",
    "sharing",
    "today",
    "todayextension",
    "watchkitapp",
    "watchkitextension",
    "widget",
    "widgetextension",
    "widgets",
});

// Long top-level domains; every label of three letters or fewer counts as one.
constexpr auto longTopLevelDomains =
    std::to_array<std::string_view>({"info", "mobi", "name", "asia", "tech", "online", "store"});

// Words any identifier may hold, and the vendors with many applications in one backup.
constexpr auto undistinctiveWords = std::to_array<std::string_view>({
    "beta",        "cache",   "data",     "debug",     "free",    "lite",    "plus",  "prefs",
    "preferences", "release", "settings", "storage",   "adobe",   "amazon",  "apple", "bytedance",
    "facebook",    "google",  "meta",     "microsoft", "samsung", "tencent", "yahoo",
});

bool holds(std::span<const std::string_view> words, std::string_view label) {
    const std::string lowered = asciiLowered(label);
    return std::find(words.begin(), words.end(), lowered) != words.end();
}

bool isTopLevelDomain(std::string_view label) {
    return (label.size() >= 2 && label.size() <= 3) || holds(longTopLevelDomains, label);
}

// Whether `test` holds for any label of the identifier, met without copying one.
template <typename Test>
bool anyLabel(std::string_view identifier, Test test) {
    for (std::size_t start = 0;;) {
        const std::size_t dot = identifier.find('.', start);
        if (test(identifier.substr(start, dot - start))) return true;
        if (dot == std::string_view::npos) return false;
        start = dot + 1;
    }
}

// The developer's domain of a reverse domain name ("icoaching" of "ch.icoaching.typewise").
std::optional<std::string_view> developerDomain(std::string_view identifier) {
    const std::size_t first = identifier.find('.');
    if (first == std::string_view::npos || !isTopLevelDomain(identifier.substr(0, first)))
        return std::nullopt;
    const std::size_t second = identifier.find('.', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    return identifier.substr(first + 1, second - first - 1);
}

}  // namespace

bool isPartLabel(std::string_view label) { return label.empty() || holds(partLabels, label); }

bool isDistinctiveLabel(std::string_view label) {
    return label.size() > 3 && !isPartLabel(label) && !holds(longTopLevelDomains, label) &&
           !holds(undistinctiveWords, label);
}

bool hasDistinctiveLabel(std::string_view identifier) {
    return anyLabel(identifier, isDistinctiveLabel);
}

bool shareDevelopersPart(std::string_view a, std::string_view b) {
    const auto leftDeveloper = developerDomain(a);
    const auto rightDeveloper = developerDomain(b);
    if (leftDeveloper && rightDeveloper &&
        !equalsIgnoringAsciiCase(*leftDeveloper, *rightDeveloper))
        return false;
    return anyLabel(a, [b](std::string_view label) {
        return isDistinctiveLabel(label) && anyLabel(b, [label](std::string_view other) {
                   return equalsIgnoringAsciiCase(label, other);
               });
    });
}

std::string_view withoutPartTails(std::string_view identifier) {
    for (std::size_t dot = identifier.rfind('.');
         dot != std::string_view::npos && isPartLabel(identifier.substr(dot + 1));
         dot = identifier.rfind('.'))
        identifier = identifier.substr(0, dot);
    return identifier;
}

std::string_view withoutLastLabel(std::string_view identifier) {
    const std::size_t dot = identifier.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : identifier.substr(0, dot);
}

std::string readablePiece(std::string_view identifier) {
    std::string_view rest = identifier;
    std::string_view lastPiece;
    while (!rest.empty()) {
        const std::size_t dot = rest.rfind('.');
        const std::string_view piece = dot == std::string_view::npos ? rest : rest.substr(dot + 1);
        if (!isPartLabel(piece)) return std::string(piece);
        if (lastPiece.empty()) lastPiece = piece;
        rest = dot == std::string_view::npos ? std::string_view() : rest.substr(0, dot);
    }
    return std::string(lastPiece.empty() ? identifier : lastPiece);
}

std::string writtenAsAName(std::string_view piece) {
    std::string name(piece);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '-' || c == '_'; }, ' ');
    const bool allLower = std::none_of(name.begin(), name.end(), [](char c) {
        return std::isupper(static_cast<unsigned char>(c)) != 0;
    });
    if (allLower && !name.empty() && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

}  // namespace salvora
