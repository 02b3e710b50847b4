#include "catalog/naming/KnownApplications.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>
#include <utility>

namespace salvora {
namespace {

using Entry = std::pair<std::string_view, std::string_view>;

constexpr auto displayNames = std::to_array<Entry>({
    {"com.apple.AppStore", "App Store"},
    {"com.apple.Bridge", "Watch"},
    {"com.apple.DocumentsApp", "Files"},
    {"com.apple.Fitness", "Fitness"},
    {"com.apple.Health", "Health"},
    {"com.apple.Home", "Home"},
    {"com.apple.Keynote", "Keynote"},
    {"com.apple.Maps", "Maps"},
    {"com.apple.MobileAddressBook", "Contacts"},
    {"com.apple.MobileSMS", "Messages"},
    {"com.apple.Music", "Music"},
    {"com.apple.Numbers", "Numbers"},
    {"com.apple.Pages", "Pages"},
    {"com.apple.Passbook", "Wallet"},
    {"com.apple.Preferences", "Settings"},
    {"com.apple.Translate", "Translate"},
    {"com.apple.VoiceMemos", "Voice Memos"},
    {"com.apple.calculator", "Calculator"},
    {"com.apple.camera", "Camera"},
    {"com.apple.compass", "Compass"},
    {"com.apple.facetime", "FaceTime"},
    {"com.apple.findmy", "Find My"},
    {"com.apple.freeform", "Freeform"},
    {"com.apple.iBooks", "Books"},
    {"com.apple.iMovie", "iMovie"},
    {"com.apple.measure", "Measure"},
    {"com.apple.mobilecal", "Calendar"},
    {"com.apple.mobilemail", "Mail"},
    {"com.apple.mobilenotes", "Notes"},
    {"com.apple.mobilephone", "Phone"},
    {"com.apple.mobilesafari", "Safari"},
    {"com.apple.mobileslideshow", "Photos"},
    {"com.apple.mobiletimer", "Clock"},
    {"com.apple.news", "News"},
    {"com.apple.podcasts", "Podcasts"},
    {"com.apple.reminders", "Reminders"},
    {"com.apple.shortcuts", "Shortcuts"},
    {"com.apple.stocks", "Stocks"},
    {"com.apple.tips", "Tips"},
    {"com.apple.tv", "TV"},
    {"com.apple.weather", "Weather"},
    {"BooksDomain", "Books Data"},
    {"CameraRollDomain", "Camera Roll"},
    {"DatabaseDomain", "Databases"},
    {"HealthDomain", "Health Data"},
    {"HomeDomain", "Home Folder"},
    {"KeyboardDomain", "Keyboard"},
    {"KeychainDomain", "Keychain"},
    {"ManagedPreferencesDomain", "Managed Preferences"},
    {"MediaDomain", "Media"},
    {"MobileDeviceDomain", "Mobile Device"},
    {"RootDomain", "Root"},
    {"SystemPreferencesDomain", "System Preferences"},
    {"TonesDomain", "Ringtones"},
    {"WirelessDomain", "Wireless"},
});

constexpr auto groupOwners = std::to_array<Entry>({
    {"com.apple.FileProvider.LocalStorage", "com.apple.DocumentsApp"},
    {"com.apple.calendar", "com.apple.mobilecal"},
    {"com.apple.mail", "com.apple.mobilemail"},
    {"com.apple.maps", "com.apple.Maps"},
    {"com.apple.notes", "com.apple.mobilenotes"},
    {"com.apple.photos", "com.apple.mobileslideshow"},
    {"com.apple.safari", "com.apple.mobilesafari"},
    {"com.apple.sms", "com.apple.MobileSMS"},
    {"is.workflow.my.app", "com.apple.shortcuts"},
});

// Tails that say what a piece of an application is, not which application.
constexpr auto genericPieces = std::to_array<std::string_view>({"app",
                                                                "apps",
                                                                "client",
                                                                "common",
                                                                "containers",
                                                                "extension",
                                                                "ext",
                                                                "group",
                                                                "groups",
                                                                "intents",
                                                                "ios",
                                                                "ipad",
                                                                "iphone",
                                                                "main",
                                                                "mobile",
                                                                "notification",
                                                                "plugin",
                                                                "share",
                                                                "shared",
                                                                "sharing",
                                                                "today",
                                                                "widget",
                                                                "widgets",
                                                                "shareextension",
                                                                "watchkitapp",
                                                                "watchkitextension",
                                                                "notificationservice",
                                                                "intentsextension",
                                                                "todayextension"});

std::optional<std::string_view> lookUp(std::span<const Entry> table, std::string_view key) {
    auto found = std::find_if(table.begin(), table.end(),
                              [key](const Entry& entry) { return entry.first == key; });
    if (found == table.end()) return std::nullopt;
    return found->second;
}

bool isGeneric(std::string_view piece) {
    std::string lower(piece);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.empty() ||
           std::find(genericPieces.begin(), genericPieces.end(), lower) != genericPieces.end();
}

}  // namespace

std::optional<std::string_view> knownDisplayName(std::string_view identifier) {
    return lookUp(displayNames, identifier);
}

std::optional<std::string_view> knownGroupOwner(std::string_view groupSubject) {
    return lookUp(groupOwners, groupSubject);
}

std::string readablePiece(std::string_view identifier) {
    std::string_view rest = identifier;
    std::string_view lastPiece;
    while (!rest.empty()) {
        const std::size_t dot = rest.rfind('.');
        const std::string_view piece = dot == std::string_view::npos ? rest : rest.substr(dot + 1);
        if (!isGeneric(piece)) return std::string(piece);
        if (lastPiece.empty()) lastPiece = piece;
        rest = dot == std::string_view::npos ? std::string_view() : rest.substr(0, dot);
    }
    return std::string(lastPiece.empty() ? identifier : lastPiece);
}

std::string fallbackDisplayName(const ApplicationRecord& application) {
    if (auto known = knownDisplayName(application.name)) return std::string(*known);
    if (application.kind == ApplicationKind::System || application.kind == ApplicationKind::Domain)
        return application.name;
    return readablePiece(application.name);
}

}  // namespace salvora
