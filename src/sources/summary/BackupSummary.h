#pragma once

// A backup at a glance: what the device was, how large the backup is, and what can be exported
// from it (photos, conversations, contacts…), each kind counted on its own so a front end can
// show the counts as they come. Counting reads no rows: each kind asks its database how many.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"

namespace salvora {

// What the device record and the catalogue tell at once.
struct BackupFacts {
    std::optional<std::string> name;        // "Device Name" of Info.plist
    std::optional<std::string> model;       // "iPhone15,2"
    std::optional<std::string> iosVersion;  // "17.1"
    std::optional<std::string> date;        // the backup's date, as the device table shows it
    bool encrypted = false;
    std::size_t applications = 0;  // rows of the application list
    std::size_t files = 0;
};

// `applications` is the length of the catalogue's application list.
BackupFacts backupFacts(const DeviceRecord& device, std::size_t applications);

// Every regular file below the backup folder, in bytes; absent when the walk was stopped or the
// folder can't be read.
std::optional<std::uint64_t> backupSizeOnDisk(const std::string& directory,
                                              std::stop_token stop = {});

// "834 bytes", "12.4 MB", "1.2 GB": decimal units, as file managers show sizes.
std::string byteSizeText(std::uint64_t bytes);

// The backup a kind is counted in. The catalogue must outlive the count.
struct SummarySource {
    const std::string& deviceDirectory;
    const ApplicationMap& applications;
    const UnlockedKeybag* keybag;
};

// A number with its noun.
struct Tally {
    std::size_t count = 0;
    std::string_view one;   // "message"
    std::string_view many;  // "messages"
};

// What the backup holds of one kind.
struct HeldCount {
    bool held = false;  // the backup holds its database or files
    // Empty when it is held but not counted, or could not be counted (`problem` says why).
    std::vector<Tally> tallies{};
    std::optional<std::string> problem{};
};

// One kind of data an export takes out of a backup.
struct ExportableKind {
    std::string_view key;    // "photos", as JSON names it
    std::string_view title;  // "Photos and videos", for people
    HeldCount (*count)(const SummarySource& source);
};

// Photos and videos, conversations, WhatsApp chats, contacts, calls, calendars: in that order.
std::span<const ExportableKind> exportableKinds();

// "3 conversations, 12 messages"; "held" when held but not counted; "none" when not held.
std::string heldText(const HeldCount& count);

}  // namespace salvora
