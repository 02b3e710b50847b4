#include "sources/summary/BackupSummary.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <unordered_set>
#include <utility>

#include "crypto/BackupEncryption.h"
#include "foundation/Plural.h"
#include "recovery/StoredDatabase.h"
#include "sources/calendar/CalendarExport.h"
#include "sources/calls/CallHistory.h"
#include "sources/contacts/AddressBook.h"
#include "sources/messages/SmsDatabase.h"
#include "sources/photos/CameraRoll.h"
#include "sources/whatsapp/BackupWhatsApp.h"
#include "sources/whatsapp/WhatsAppChats.h"

namespace salvora {
namespace {

using Tallies = std::vector<Tally>;

// What a read that failed tells: nothing held where the backup lacks the file, else its problem.
HeldCount failedRead(const Error& error) {
    if (error.kind == ErrorKind::NotInBackup) return {};
    return {true, {}, error.description()};
}

// The database at (domain, path) opened and counted; not held when the backup lacks it.
HeldCount countDatabase(const SummarySource& source, std::string_view domain, std::string_view path,
                        const std::function<Result<Tallies>(sqlite3* database)>& count) {
    auto opened = openStoredDatabaseAt(source.deviceDirectory, source.applications, domain, path,
                                       source.keybag);
    if (!opened) return failedRead(opened.error());
    auto tallies = count(opened->database.handle());
    if (!tallies) return {true, {}, tallies.error().description()};
    return {true, std::move(*tallies)};
}

Result<Tallies> conversationTallies(Result<ConversationCounts> counts, std::string_view one,
                                    std::string_view many) {
    if (!counts) return counts.error();
    return Tallies{{counts->conversations, one, many}, {counts->messages, "message", "messages"}};
}

HeldCount countPhotos(const SummarySource& source) {
    if (!hasCameraRoll(source.applications)) return {};
    HeldCount library = countDatabase(source, CameraRollDomain, PhotoLibraryPath,
                                      [](sqlite3* database) -> Result<Tallies> {
                                          auto counts = countLibraryAssets(database);
                                          if (!counts) return counts.error();
                                          return Tallies{{counts->photos, "photo", "photos"},
                                                         {counts->videos, "video", "videos"}};
                                      });
    if (!library.tallies.empty()) return library;
    // Without a library it can read, the export takes the files the camera roll holds.
    const CameraRoll roll(source.applications);
    Tallies tallies{{0, "photo", "photos"}, {0, "video", "videos"}};
    for (const FileRecord* file : roll.mediaFiles())
        if (auto kind = mediaKindOfName(file->fullpath().value_or("")))
            ++tallies[*kind == MediaKind::Video ? 1 : 0].count;
    return {true, std::move(tallies)};
}

HeldCount countMessages(const SummarySource& source) {
    return countDatabase(source, smsDomain, smsDatabasePath, [](sqlite3* database) {
        return conversationTallies(countSmsConversations(database), "conversation",
                                   "conversations");
    });
}

HeldCount countWhatsApp(const SummarySource& source) {
    HeldCount total;
    for (const WhatsAppApplication& application : whatsAppApplicationsIn(source.applications)) {
        HeldCount one =
            countDatabase(source, application.domain, "ChatStorage.sqlite", [](sqlite3* database) {
                return conversationTallies(countWhatsAppChats(database), "chat", "chats");
            });
        total.held = total.held || one.held;
        if (one.problem) total.problem = one.problem;
        if (total.tallies.empty())
            total.tallies = std::move(one.tallies);
        else
            for (std::size_t at = 0; at < one.tallies.size(); ++at)
                total.tallies[at].count += one.tallies[at].count;
    }
    if (total.problem) total.tallies.clear();
    return total;
}

HeldCount countAddressBook(const SummarySource& source) {
    return countDatabase(source, addressBookDomain, addressBookPath,
                         [](sqlite3* database) -> Result<Tallies> {
                             auto contacts = countContacts(database);
                             if (!contacts) return contacts.error();
                             return Tallies{{*contacts, "contact", "contacts"}};
                         });
}

// A count read by the kind's own reader, held or not as its backup reader tells.
template <typename Read, typename Count>
HeldCount countRead(Read&& read, Count&& count) {
    auto whole = read();
    if (!whole) return failedRead(whole.error());
    return {true, count(*whole)};
}

HeldCount countCalls(const SummarySource& source) {
    return countRead(
        [&] {
            return readBackupCallHistory(source.deviceDirectory, source.applications,
                                         source.keybag);
        },
        [](const CallHistory& history) {
            return Tallies{{history.calls.size(), "call", "calls"}};
        });
}

// The calendars the export takes by default, and their events.
HeldCount countCalendars(const SummarySource& source) {
    return countRead(
        [&] {
            return readBackupCalendars(source.deviceDirectory, source.applications, source.keybag);
        },
        [](const CalendarDatabase& database) {
            Tallies tallies{{0, "calendar", "calendars"}, {0, "event", "events"}};
            std::unordered_set<std::int64_t> taken;
            for (const Calendar& calendar : database.calendars)
                if (exportsCalendar(calendar, false)) {
                    ++tallies[0].count;
                    taken.insert(calendar.id);
                }
            for (const CalendarEvent& event : database.events)
                tallies[1].count += taken.contains(event.calendarId) ? 1 : 0;
            return tallies;
        });
}

constexpr std::array<ExportableKind, 6> kinds{{
    {"photos", "Photos and videos", countPhotos},
    {"messages", "Messages", countMessages},
    {"whatsapp", "WhatsApp chats", countWhatsApp},
    {"contacts", "Contacts", countAddressBook},
    {"calls", "Calls", countCalls},
    {"calendars", "Calendars", countCalendars},
}};

}  // namespace

BackupFacts backupFacts(const DeviceRecord& device, std::size_t applications) {
    return {device.name,
            device.productType,
            device.productVersion,
            device.date,
            judgeBackupProtection(device.directory).isEncrypted(),
            applications,
            device.applications ? fileCount(*device.applications) : 0};
}

std::optional<std::uint64_t> backupSizeOnDisk(const std::string& directory, std::stop_token stop) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::recursive_directory_iterator walk(fs::u8path(directory), error);
    if (error) return std::nullopt;
    std::uint64_t size = 0;
    for (const fs::recursive_directory_iterator end{}; walk != end; walk.increment(error)) {
        if (error || stop.stop_requested()) return std::nullopt;
        // Links are not followed: a stored file is never one.
        std::error_code unreadable;
        if (walk->is_symlink(unreadable) || !walk->is_regular_file(unreadable)) continue;
        const std::uintmax_t bytes = walk->file_size(unreadable);
        if (!unreadable) size += bytes;
    }
    return size;
}

std::string byteSizeText(std::uint64_t bytes) {
    if (bytes < 1000) return counted(bytes, "byte", "bytes");
    static constexpr std::array<const char*, 5> units{"kB", "MB", "GB", "TB", "PB"};
    double size = static_cast<double>(bytes) / 1000;
    std::size_t unit = 0;
    for (; size >= 999.95 && unit + 1 < units.size(); ++unit) size /= 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", size, units[unit]);
    return text;
}

std::span<const ExportableKind> exportableKinds() { return kinds; }

std::string heldText(const HeldCount& count) {
    if (!count.held) return "not in this backup";
    if (count.tallies.empty())
        return count.problem ? "in this backup, not counted: " + *count.problem : "in this backup";
    std::string text;
    for (const Tally& tally : count.tallies) {
        if (!text.empty()) text += ", ";
        text += counted(tally.count, tally.one, tally.many);
    }
    return text;
}

}  // namespace salvora
