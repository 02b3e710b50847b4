#include "fuzz/FuzzTargets.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "catalog/layouts/manifest_database/ManifestDatabaseReader.h"
#include "catalog/layouts/manifest_db/ArchivedFileInfo.h"
#include "catalog/layouts/manifest_db/ManifestDbReader.h"
#include "catalog/layouts/mdbackup/MdbackupReader.h"
#include "catalog/layouts/mdinfo/MdinfoReader.h"
#include "catalog/layouts/unindexed/UnindexedDatabaseReader.h"
#include "crypto/Keybag.h"
#include "export/BrowserImage.h"
#include "foundation/BackupFileNames.h"
#include "foundation/ByteCursor.h"
#include "foundation/Path.h"
#include "foundation/Utf8Text.h"
#include "plist/EmbeddedPropertyList.h"
#include "plist/PropertyList.h"
#include "plist/Typedstream.h"
#include "plist/XmlPropertyListData.h"
#include "sources/calendar/CalendarExport.h"
#include "sources/calls/CallExport.h"
#include "sources/contacts/ContactExport.h"
#include "sources/messages/SmsDatabase.h"
#include "sources/photos/PhotoLibrary.h"
#include "sources/whatsapp/VCardName.h"
#include "sources/whatsapp/WhatsAppChats.h"
#include "sqlite/ServedDatabase.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora::fuzz {
namespace {

constexpr std::size_t lengthPrefixSize = 4;

// A broken promise is a finding like a crash: the fuzzer keeps the input that broke it.
void require(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "Broken promise: %s\n", promise);
    std::abort();
}

bool isUtf8(std::string_view text) { return utf8Text(std::optional(text)).has_value(); }

bool isLowercaseHex(std::string_view name, std::size_t length) {
    return name.size() == length && std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

bool isSha1Name(std::string_view name) { return isLowercaseHex(name, 40); }

// "ab/abcd…": the recovery reads it inside the backup folder, so it must not lead elsewhere.
bool isManifestDbName(std::string_view name) {
    const std::vector<std::string_view> levels = pathComponents(name);
    if (levels.size() != 2 || levels[0].size() != 2 || !levels[1].starts_with(levels[0]))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_' || c == '/';
    });
}

// What every reader promises of the map it fills; returns the number of files.
template <typename NameCheck>
std::size_t checkedFileCount(const ApplicationMap& applications, NameCheck isStoredName) {
    std::size_t files = 0;
    for (const auto& [key, application] : applications) {
        require(application != nullptr && application->name == key, "a record under its name");
        require(isUtf8(key), "an application name is UTF-8");
        for (const FileRecord& file : application->files) {
            require(isStoredName(file.name()), "a stored name the layout can give");
            require(!file.fullpath() || isUtf8(*file.fullpath()), "a full path is UTF-8");
        }
        files += application->files.size();
    }
    return files;
}

// Reads every value of the list, as a window or a listing might show it; returns the count.
std::size_t visitEveryValue(const PropertyList& root) {
    std::size_t visited = 0;
    std::vector<std::byte> copy;
    std::vector<PropertyList> pending{root};
    while (!pending.empty()) {
        PropertyList value = std::move(pending.back());
        pending.pop_back();
        if (!value.isPresent()) continue;
        ++visited;
        // Copying every text and data value lets the sanitizer see a length past its buffer.
        (void)value.string();
        if (auto bytes = value.data()) copy.assign(bytes->begin(), bytes->end());
        (void)value.boolean(), (void)value.unsignedInteger(), (void)value.real();
        (void)value.date(), (void)value.uid();
        for (const std::string& key : value.keys()) pending.push_back(value[key]);
        if (value.kind() == PropertyList::Kind::Array)
            for (std::size_t i = 0; i < value.count(); ++i) pending.push_back(value.at(i));
    }
    return visited;
}

// The catalogue reads these lists with PropertyList::dictionaryFromFile.
PropertyList dictionaryFrom(Input input) {
    PropertyList list = PropertyList::fromData(input);
    return list.kind() == PropertyList::Kind::Dictionary ? list : PropertyList();
}

std::size_t manifestDatabase(Input input) {
    ByteCursor cursor(input);
    const std::size_t length = cursor.readBigEndian(lengthPrefixSize).value_or(0);
    const Input index = *cursor.readBytes(std::min<std::size_t>(length, cursor.remaining()));
    ApplicationMap applications;
    addManifestDatabaseFiles(index, input.subspan(cursor.position()), applications);
    return checkedFileCount(applications, isSha1Name);
}

std::size_t unindexedDatabase(Input input) {
    ApplicationMap applications;
    addUnindexedDatabaseFiles(input, applications);
    return checkedFileCount(applications, isSha1Name);
}

std::size_t mdbackup(Input input) {
    ApplicationMap applications;
    addMdbackupList("fuzz.mdbackup", dictionaryFrom(input), applications);
    return checkedFileCount(applications,
                            [](std::string_view name) { return name == "fuzz.mdbackup"; });
}

std::size_t mdinfo(Input input) {
    ApplicationMap applications;
    addMdinfoList("fuzz.mdinfo", dictionaryFrom(input), applications);
    checkedFileCount(applications, [](std::string_view name) { return name == "fuzz.mddata"; });
    // Whatever the list says, its ".mddata" file is catalogued, once.
    require(applications.size() == 1 && applications.begin()->second->files.size() == 1,
            "every list gives its file");
    return applications.begin()->second->files.front().fullpath() ? 1 : 0;
}

std::size_t manifestPlist(Input input) {
    return translationNamesFromManifest(dictionaryFrom(input)).size();
}

std::size_t infoPlist(Input input) {
    PropertyList info = dictionaryFrom(input);
    (void)info["Device Name"].string();
    // Naming the applications decodes the list with no data left but their store metadata.
    if (std::optional<std::string> kept = keepingOnlyDataOf(input, {"iTunesMetadata"})) {
        require(kept->size() <= input.size(), "leaving data out never makes a list longer");
        const PropertyList applications =
            PropertyList::fromData(std::as_bytes(std::span(*kept)))["Applications"];
        for (const std::string& name : applications.keys())
            visitEveryValue(embeddedPropertyList(applications[name]["iTunesMetadata"]));
    }
    return visitEveryValue(info);
}

// A folder of this process's own, removed when it ends.
struct ProcessFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("salvora-fuzz-" + std::to_string(::getpid()));
    ProcessFolder() { std::filesystem::create_directories(path); }
    ~ProcessFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// The folder, holding the input as a backup's file of that name.
std::string folderHolding(std::string_view name, Input input) {
    static const ProcessFolder folder;
    std::ofstream(folder.path / name, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(input.data()),
               static_cast<std::streamsize>(input.size()));
    return folder.path.string();
}

// Whether both maps hold the same applications with the same files in the same order: the
// same stored names, full paths and details.
bool sameFiles(const ApplicationMap& one, const ApplicationMap& other) {
    if (one.size() != other.size()) return false;
    for (const auto& [name, application] : one) {
        const auto found = other.find(name);
        if (found == other.end()) return false;
        const std::vector<FileRecord>& files = application->files;
        const std::vector<FileRecord>& otherFiles = found->second->files;
        if (!std::equal(files.begin(), files.end(), otherFiles.begin(), otherFiles.end(),
                        [](const FileRecord& file, const FileRecord& otherFile) {
                            return file.storedName().spelled() ==
                                       otherFile.storedName().spelled() &&
                                   file.fullpath() == otherFile.fullpath() &&
                                   file.details() == otherFile.details();
                        }))
            return false;
    }
    return true;
}

std::size_t manifestDb(Input input) {
    // A file on disk is read from its pages where they are sound, else through SQLite.
    const std::string folder = folderHolding(ManifestDbName, input);
    ApplicationMap fromFile;
    const auto reading = addManifestDbFilesFromDirectory(folder, fromFile);
    std::size_t files = checkedFileCount(fromFile, isManifestDbName);
    require(reading || fromFile.empty(), "a database that fails adds nothing");
    if (reading && *reading == ManifestDbReading::Pages) {
        // Pages that don't hand the read over give exactly what SQLite reads in them.
        ApplicationMap bySqlite;
        addManifestDbFilesWithSqlite(folder, bySqlite);
        require(sameFiles(fromFile, bySqlite), "the pages give SQLite's rows");
    }
    // A decrypted database is read in memory.
    if (auto database = SqliteDatabase::fromBytes(input)) {
        ApplicationMap applications;
        static_cast<void>(addManifestDbFiles(*database, applications));
        files += checkedFileCount(applications, isManifestDbName);
    }
    return files;
}

std::size_t archivedFileInfo(Input input) {
    const ArchivedFileInfo info = readArchivedFileInfo(input);
    return info.size.has_value() + info.lastModified.has_value() +
           info.protectionClass.has_value() + info.encryptionKey.has_value();
}

std::size_t keybag(Input input) {
    auto parsed = parseKeybag(input);
    require(parsed || !parsed.error().reason.empty(), "a keybag is read, or refused with a reason");
    return parsed ? parsed->classes.size() + 1 : 0;
}

// The input served as an export opens a stored database, so WAL-mode files are read too.
auto servedDatabaseOf(Input input) {
    return openServedDatabase(
        std::make_shared<const ServedFile>(std::vector<std::byte>(input.begin(), input.end())),
        nullptr);
}

std::size_t photoLibrary(Input input) {
    auto opened = servedDatabaseOf(input);
    if (!opened) return 0;
    Result<PhotoLibrary> library = readPhotoLibrary(opened->database);
    // The export tells the user why it fell back to the files.
    if (!library) {
        require(!library.error().reason.empty(), "the reason there is no library");
        return 0;
    }
    for (const LibraryAsset& asset : library->assets)
        require(isUtf8(asset.directory) && isUtf8(asset.fileName) &&
                    isUtf8(asset.originalFileName.value_or("")),
                "an asset's names are UTF-8");
    return library->assets.size() + library->albums.size();
}

std::size_t typedstream(Input input) {
    auto text = typedstreamText(input);
    require(!text || isUtf8(*text), "a body's text is UTF-8");
    return text ? text->size() + 1 : 0;
}

// Reads every conversation of a store, holding each to what every writer of conversations
// takes for granted; the number of conversations and messages read.
std::size_t readEveryConversation(ConversationStore& store) {
    std::size_t found = 0;
    const auto& outlines = store.outlines();
    for (std::size_t index = 0; index < outlines.size(); ++index) {
        auto conversation = store.read(index);
        if (!conversation) continue;
        const std::size_t people = conversation->outline.participants.size();
        const std::vector<Message>& messages = conversation->messages;
        for (const Message& message : messages) {
            require(message.sender == fromOwner || message.sender < people,
                    "a sender is one of the conversation's participants");
            require(!message.replyTo || *message.replyTo < messages.size(),
                    "a reply names a message of its conversation");
            require(isUtf8(message.text.value_or("")) && isUtf8(message.note.value_or("")),
                    "a message's words are UTF-8");
            for (const Reaction& reaction : message.reactions)
                require(reaction.sender == fromOwner || reaction.sender < people,
                        "a reaction's sender is one of the participants");
            for (const MessageAttachment& attachment : message.attachments) {
                const std::vector<std::string_view> levels =
                    pathComponents(attachment.relativePath);
                require(!attachment.relativePath.starts_with('/') &&
                            std::none_of(levels.begin(), levels.end(),
                                         [](std::string_view level) { return level == ".."; }),
                        "an attachment's path stays inside its domain");
            }
        }
        found += messages.size() + 1;
    }
    return found;
}

std::size_t smsDatabase(Input input) {
    auto opened = servedDatabaseOf(input);
    if (!opened) return 0;
    // A file of an MMS part, so that the parts of messages are matched to files too.
    auto store = openSmsConversations(
        StoredDatabase{std::move(opened->database), std::nullopt}, ContactNames{}, "Me",
        [] { return std::vector<std::string>{"Library/SMS/Parts/3c/02/4-1.jpg"}; });
    if (!store) {
        require(!store.error().reason.empty(), "a database refused with a reason");
        return 0;
    }
    return readEveryConversation(**store);
}

std::size_t chatStorage(Input input) {
    auto opened = servedDatabaseOf(input);
    if (!opened) return 0;
    WhatsAppChatOptions options;
    options.includeStatus = true;
    auto store = openWhatsAppChats(StoredDatabase{std::move(opened->database), std::nullopt},
                                   std::nullopt, {}, options);
    if (!store) return 0;
    return readEveryConversation(**store);
}

// Folded: no line longer than vCard and iCalendar allow, the text ended with its line break.
void requireFolded(const std::string& text) {
    std::size_t lineStart = 0;
    for (std::size_t end; (end = text.find("\r\n", lineStart)) != std::string::npos;
         lineStart = end + 2)
        require(end - lineStart <= 75, "content lines are at most 75 octets");
    require(lineStart == text.size(), "content lines end with their line break");
}

std::size_t addressBook(Input input) {
    auto opened = servedDatabaseOf(input);
    if (!opened) return 0;
    auto book = readAddressBook(opened->database.handle());
    if (!book) return 0;
    for (const Contact& contact : book->contacts) {
        requireFolded(vCardOf(contact));
    }
    return contactsCsv(*book).size();
}

std::size_t callHistory(Input input) {
    auto opened = servedDatabaseOf(input);
    if (!opened) return 0;
    auto history = readCallHistory(opened->database.handle());
    if (!history) {
        require(!history.error().reason.empty(), "a database refused with a reason");
        return 0;
    }
    for (const Call& call : history->calls)
        require(isUtf8(call.address) && isUtf8(call.name) && isUtf8(call.country) &&
                    isUtf8(call.service) && call.duration >= 0,
                "a call's texts are UTF-8 and its length is not negative");
    const std::vector<std::string> names = callerNames(*history, ContactNames{});
    return callsCsv(*history, names).size() + callsHtml(*history, names).size();
}

std::size_t calendarDatabase(Input input) {
    auto opened = servedDatabaseOf(input);
    if (!opened) return 0;
    auto database = readCalendarDatabase(opened->database.handle());
    if (!database) return 0;
    std::size_t written = database->events.size();
    for (const Calendar& calendar : database->calendars) {
        const std::string text = iCalendarOf(*database, calendar, 0);
        requireFolded(text);
        require(text.starts_with("BEGIN:VCALENDAR\r\n") && text.ends_with("END:VCALENDAR\r\n"),
                "one whole VCALENDAR");
        written += text.size();
    }
    return written;
}

std::size_t vCardNameOf(Input input) {
    const std::optional<std::string> name =
        vCardName({reinterpret_cast<const char*>(input.data()), input.size()});
    if (!name) return 0;
    require(!name->empty() && name->size() <= vCardNameLimit && isUtf8(*name),
            "a card's name is short UTF-8 text");
    return name->size();
}

std::size_t heifImage(Input input) {
    auto jpeg = jpegOfHeif(input);
    if (!jpeg) {
        require(!jpeg.error().reason.empty(), "an image refused with a reason");
        return 0;
    }
    require(jpeg->size() > 2 && (*jpeg)[0] == 0xFF && (*jpeg)[1] == 0xD8,
            "a JPEG starts with its marker");
    return jpeg->size();
}

constexpr std::array targets{
    FuzzTarget{"manifest_database", manifestDatabase},
    FuzzTarget{"unindexed_database", unindexedDatabase},
    FuzzTarget{"mdbackup", mdbackup},
    FuzzTarget{"mdinfo", mdinfo},
    FuzzTarget{"manifest_plist", manifestPlist},
    FuzzTarget{"info_plist", infoPlist},
    FuzzTarget{"manifest_db", manifestDb},
    FuzzTarget{"archived_file_info", archivedFileInfo},
    FuzzTarget{"keybag", keybag},
    FuzzTarget{"photo_library", photoLibrary},
    FuzzTarget{"typedstream", typedstream},
    FuzzTarget{"sms_database", smsDatabase},
    FuzzTarget{"address_book", addressBook},
    FuzzTarget{"calendar_database", calendarDatabase},
    FuzzTarget{"chat_storage", chatStorage},
    FuzzTarget{"vcard_name", vCardNameOf},
    FuzzTarget{"call_history", callHistory},
    FuzzTarget{"heif_image", heifImage},
};

}  // namespace

std::span<const FuzzTarget> fuzzTargets() { return targets; }

const FuzzTarget* findFuzzTarget(std::string_view name) {
    auto found = std::find_if(targets.begin(), targets.end(),
                              [name](const FuzzTarget& target) { return target.name == name; });
    return found == targets.end() ? nullptr : &*found;
}

std::vector<std::byte> joinManifestDatabaseInput(Input index, Input database) {
    std::vector<std::byte> input;
    input.reserve(lengthPrefixSize + index.size() + database.size());
    for (std::size_t shift = 8 * lengthPrefixSize; shift > 0; shift -= 8)
        input.push_back(static_cast<std::byte>(index.size() >> (shift - 8)));
    input.insert(input.end(), index.begin(), index.end());
    input.insert(input.end(), database.begin(), database.end());
    return input;
}

}  // namespace salvora::fuzz
