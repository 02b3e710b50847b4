#include "sources/whatsapp/WhatsAppChats.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <unordered_map>

#include "foundation/Path.h"
#include "foundation/StringHash.h"
#include "foundation/Utf8Text.h"
#include "recovery/RelativePath.h"
#include "sources/whatsapp/VCardName.h"
#include "sqlite/ReferenceDate.h"
#include "sqlite/SchemaProbes.h"
#include "sqlite/Statement.h"

namespace salvora {
namespace {

enum SessionType : std::int64_t {
    PersonChat = 0,
    GroupChat = 1,
    BroadcastList = 2,
    StatusUpdates = 3
};

enum MessageType : std::int64_t {
    Text = 0,
    Image = 1,
    Video = 2,
    Audio = 3,
    ContactCard = 4,
    Place = 5,
    Link = 7,
    Document = 8,
    SystemEvent = 10,
    Gif = 11,
    // What a message deleted for everyone becomes: its row stays, its text and media go.
    Deleted = 14,
    Sticker = 15,
    Poll = 46,
    CallMessage = 59,
};

std::optional<std::string> text(sqlite3_stmt* statement, int column) {
    auto valid = utf8Text(textColumn(statement, column));
    if (!valid || valid->empty()) return std::nullopt;
    return std::string(*valid);
}

std::optional<UnixMillis> millisSinceReference(std::optional<double> seconds) {
    if (!seconds) return std::nullopt;
    const std::optional<std::int64_t> whole = unixSecondsFromReferenceSeconds(*seconds);
    if (!whole) return std::nullopt;
    return *whole * 1000 + static_cast<std::int64_t>((*seconds - std::floor(*seconds)) * 1000);
}

// "alias.NAME" where the table has the column, else NULL: each generation has its own.
std::string columnOr(const ColumnNames& columns, std::string_view alias, std::string_view name,
                     std::string_view otherwise = "NULL") {
    if (!columns.contains(name)) return std::string(otherwise);
    return std::string(alias) + "." + quotedName(name);
}

std::optional<std::string> optionalCopy(const std::string* text) {
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

bool isGroupJid(std::string_view jid) { return jid.ends_with("@g.us"); }

// Where a chat's media lie in the container, or absent when the recorded path leads elsewhere.
std::optional<std::string> containerPath(std::string_view recorded,
                                         const WhatsAppChatOptions& options) {
    std::string_view path = recorded;
    // A path of the phone's file system names the container's folder: what follows it counts.
    constexpr std::string_view containers = "/Shared/AppGroup/";
    if (const std::size_t at = path.find(containers); at != std::string_view::npos) {
        path.remove_prefix(at + containers.size());
        const std::size_t slash = path.find('/');
        if (slash == std::string_view::npos) return std::nullopt;
        path.remove_prefix(slash + 1);
    }
    while (path.starts_with('/')) path.remove_prefix(1);
    if (!soundRelativePath(path, options.domain)) return std::nullopt;
    std::string relative(path);
    if (options.holdsFile && !options.holdsFile(relative) &&
        options.holdsFile("Message/" + relative))
        return "Message/" + relative;
    return relative;
}

// Who someone is by the chats' own words, the best source first.
enum class NameSource { Partner, Member, PushName };

class Names {
  public:
    explicit Names(ContactNames contacts) : contacts_(std::move(contacts)) {}

    void learn(const std::string& jid, std::optional<std::string> name, NameSource source) {
        if (!name) return;
        auto [entry, added] = known_.try_emplace(jid, source, *name);
        if (!added && source < entry->second.first) entry->second = {source, std::move(*name)};
    }

    Participant participant(const std::string& jid) const {
        const std::optional<std::string> number = phoneNumberOfJid(jid);
        Participant participant{number.value_or(jid), {}};
        if (auto found = known_.find(jid); found != known_.end())
            participant.name = found->second.second;
        else if (number)
            participant.name = contacts_.nameOf(*number).value_or("");
        return participant;
    }

  private:
    ContactNames contacts_;
    std::unordered_map<std::string, std::pair<NameSource, std::string>> known_;
};

struct Call {
    std::optional<UnixMillis> date;
    double seconds = 0;
    bool video = false;
};

// "Missed voice call", "Video call, 3 min".
std::string callLine(const Call& call) {
    const std::string kind = call.video ? "video call" : "voice call";
    if (call.seconds <= 0) return "Missed " + kind;
    std::string line = call.video ? "Video call, " : "Voice call, ";
    const auto seconds = static_cast<std::int64_t>(std::llround(call.seconds));
    if (seconds < 60) return line + std::to_string(seconds) + " s";
    const std::int64_t minutes = (seconds + 30) / 60;
    if (minutes < 60) return line + std::to_string(minutes) + " min";
    return line + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

struct Chat {
    std::optional<std::int64_t> key;  // Z_PK; absent for a person met only in calls
    std::string jid;
    std::int64_t type = PersonChat;
    std::vector<std::string> participantJids;  // beside the outline's participants
    std::vector<Call> calls;
};

// What reading a message table yields for one message, before replies are resolved.
struct ReadMessage {
    std::int64_t key = 0;  // Z_PK, from 1; 0 for a call
    std::optional<std::int64_t> parent;
    std::optional<double> storedDate;  // ZMESSAGEDATE as stored; absent for a call
    Message message;
};

// Messages by date, those without first; within a millisecond by the date as stored, then as
// the store numbered them; a call after the messages of its millisecond, calls in their order.
bool comesBefore(const ReadMessage& a, std::size_t aAt, const ReadMessage& b, std::size_t bAt) {
    constexpr UnixMillis undated = std::numeric_limits<UnixMillis>::min();
    const UnixMillis aDate = a.message.date.value_or(undated);
    const UnixMillis bDate = b.message.date.value_or(undated);
    if (aDate != bDate) return aDate < bDate;
    if ((a.key == 0) != (b.key == 0)) return b.key == 0;
    if (a.key == 0) return aAt < bAt;
    if (a.storedDate != b.storedDate) return a.storedDate < b.storedDate;
    return a.key < b.key;
}

class WhatsAppStore final : public ConversationStore {
  public:
    WhatsAppStore(StoredDatabase chats, ContactNames names, WhatsAppChatOptions options)
        : chats_(std::move(chats)), names_(std::move(names)), options_(std::move(options)) {
        if (chats_.warning) warnings_.push_back(*chats_.warning);
    }

    Status load(std::optional<StoredDatabase> calls);

    const std::vector<ConversationOutline>& outlines() const override { return outlines_; }
    std::vector<std::string> warnings() const override { return warnings_; }
    Result<Conversation> read(std::size_t index) override;

  private:
    sqlite3* db() const { return chats_.database.handle(); }
    Status readChats();
    void readMembers();
    void readMessageSummaries();
    void readCalls(const StoredDatabase& calls);
    void finishOutlines();
    std::string messagesSql() const;
    void fillMessage(sqlite3_stmt* row, Chat& chat, Message& message);
    std::size_t participantIndex(std::size_t chatIndex, const std::string& jid);
    const std::string* memberJidAt(sqlite3_stmt* row, int column) const;
    std::optional<std::string> senderJid(const Chat& chat, std::optional<std::string> member,
                                         std::optional<std::string> from) const;

    StoredDatabase chats_;
    Names names_;
    WhatsAppChatOptions options_;
    ColumnNames messageColumns_, memberColumns_, mediaColumns_;
    std::vector<Chat> chatList_;
    std::vector<ConversationOutline> outlines_;
    std::unordered_map<std::int64_t, std::size_t> chatByKey_;
    std::unordered_map<std::int64_t, std::string> memberJids_;
    std::vector<std::string> warnings_;
    bool archivedKept_ = false;  // whether the chat table has ZARCHIVED
    Statement messageRows_;      // a chat's messages, prepared at the first chat read
};

Status WhatsAppStore::load(std::optional<StoredDatabase> calls) {
    if (Status read = readChats(); !read) return read;
    messageColumns_ = columnsOf(db(), "ZWAMESSAGE");
    memberColumns_ = columnsOf(db(), "ZWAGROUPMEMBER");
    mediaColumns_ = columnsOf(db(), "ZWAMEDIAITEM");
    if (!hasColumns(messageColumns_, {"Z_PK", "ZCHATSESSION"}))
        warnings_.push_back(
            "ChatStorage.sqlite has no message table this version knows: only "
            "its chats are listed");
    readMembers();
    if (hasColumns(messageColumns_, {"Z_PK", "ZCHATSESSION"})) readMessageSummaries();
    if (calls) {
        if (calls->warning) warnings_.push_back(*calls->warning);
        readCalls(*calls);
    }
    finishOutlines();
    return {};
}

Status WhatsAppStore::readChats() {
    // A file that isn't a database at all fails here, rather than seeming to lack the table.
    auto schema = prepare(db(), "SELECT count(*) FROM sqlite_schema");
    if (!schema || sqlite3_step(schema->get()) != SQLITE_ROW)
        return sqliteError(db(), "Could not read ChatStorage.sqlite");
    const ColumnNames columns = columnsOf(db(), "ZWACHATSESSION");
    if (!hasColumns(columns, {"Z_PK", "ZCONTACTJID"}))
        return Error{"Could not read", "ChatStorage.sqlite",
                     "it has no chat table this version knows"};
    archivedKept_ = columns.contains("ZARCHIVED");
    auto rows =
        prepare(db(), "SELECT c.Z_PK, c.ZCONTACTJID, " + columnOr(columns, "c", "ZPARTNERNAME") +
                          ", " + columnOr(columns, "c", "ZSESSIONTYPE", "0") + ", " +
                          columnOr(columns, "c", "ZARCHIVED") + " FROM ZWACHATSESSION c ORDER BY " +
                          columnOr(columns, "c", "ZLASTMESSAGEDATE", "0") + " DESC, c.Z_PK");
    if (!rows) return rows.error();
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        sqlite3_stmt* row = rows->get();
        Chat chat;
        chat.key = sqlite3_column_int64(row, 0);
        chat.jid = text(row, 1).value_or("");
        chat.type = sqlite3_column_int64(row, 3);
        if (chat.jid == "status@broadcast") chat.type = StatusUpdates;
        if (chat.type == StatusUpdates && !options_.includeStatus) continue;
        ConversationOutline outline;
        outline.service = options_.service;
        if (archivedKept_) outline.archived = sqlite3_column_int64(row, 4) != 0;
        const std::optional<std::string> partnerName = text(row, 2);
        if (chat.type == PersonChat && !chat.jid.empty()) {
            names_.learn(chat.jid, partnerName, NameSource::Partner);
            chat.participantJids.push_back(chat.jid);
        }
        if (chat.type == GroupChat || chat.type == BroadcastList)
            outline.title = partnerName.value_or("");
        chatByKey_[*chat.key] = chatList_.size();
        chatList_.push_back(std::move(chat));
        outlines_.push_back(std::move(outline));
    }
    if (status != SQLITE_DONE)
        return sqliteError(db(), "Could not read the chats of ChatStorage.sqlite");
    return {};
}

void WhatsAppStore::readMembers() {
    if (!hasColumns(memberColumns_, {"Z_PK", "ZMEMBERJID"})) return;
    auto rows = prepare(db(), "SELECT g.Z_PK, g.ZMEMBERJID, " +
                                  columnOr(memberColumns_, "g", "ZCONTACTNAME") + ", " +
                                  columnOr(memberColumns_, "g", "ZCHATSESSION") +
                                  " FROM ZWAGROUPMEMBER g ORDER BY g.Z_PK");
    if (!rows) return;
    while (sqlite3_step(rows->get()) == SQLITE_ROW) {
        sqlite3_stmt* row = rows->get();
        std::optional<std::string> jid = text(row, 1);
        if (!jid) continue;
        memberJids_[sqlite3_column_int64(row, 0)] = *jid;
        names_.learn(*jid, text(row, 2), NameSource::Member);
        if (auto chat = integerColumn(row, 3))
            if (auto found = chatByKey_.find(*chat); found != chatByKey_.end())
                participantIndex(found->second, *jid);
    }
    // The push names WhatsApp keeps apart from the messages, where it does.
    if (!hasTableWithColumns(db(), "ZWAPROFILEPUSHNAME", {"ZJID", "ZPUSHNAME"})) return;
    auto pushNames = prepare(db(), "SELECT ZJID, ZPUSHNAME FROM ZWAPROFILEPUSHNAME");
    if (!pushNames) return;
    while (sqlite3_step(pushNames->get()) == SQLITE_ROW)
        if (auto jid = text(pushNames->get(), 0))
            names_.learn(*jid, text(pushNames->get(), 1), NameSource::PushName);
}

std::optional<std::string> WhatsAppStore::senderJid(const Chat& chat,
                                                    std::optional<std::string> member,
                                                    std::optional<std::string> from) const {
    if (member) return member;
    if (from && !isGroupJid(*from) && !from->ends_with("@broadcast")) return from;
    if (chat.type == PersonChat && !chat.jid.empty()) return chat.jid;
    return std::nullopt;
}

// The JID of the group member a row's column names, from the members read before: looking each
// up in SQLite cost a search of the member table for every message.
const std::string* WhatsAppStore::memberJidAt(sqlite3_stmt* row, int column) const {
    if (sqlite3_column_type(row, column) != SQLITE_INTEGER) return nullptr;
    auto found = memberJids_.find(sqlite3_column_int64(row, column));
    return found == memberJids_.end() ? nullptr : &found->second;
}

std::size_t WhatsAppStore::participantIndex(std::size_t chatIndex, const std::string& jid) {
    std::vector<std::string>& jids = chatList_[chatIndex].participantJids;
    const auto found = std::find(jids.begin(), jids.end(), jid);
    if (found != jids.end()) return static_cast<std::size_t>(found - jids.begin());
    jids.push_back(jid);
    return jids.size() - 1;
}

// Counts, dates, senders and their push names of every chat, in one pass over the messages as
// they lie. The senders are then taken in the order of (chat, member, sender JID) that grouping
// in SQL gives, which for a million messages took SQLite seconds of sorting.
void WhatsAppStore::readMessageSummaries() {
    const bool members = messageColumns_.contains("ZGROUPMEMBER") &&
                         hasColumns(memberColumns_, {"Z_PK", "ZMEMBERJID"});
    const std::string sql =
        "SELECT m.ZCHATSESSION, " + columnOr(messageColumns_, "m", "ZMESSAGEDATE") + ", " +
        (members ? "m.ZGROUPMEMBER" : "NULL") + ", " + columnOr(messageColumns_, "m", "ZFROMJID") +
        ", " + columnOr(messageColumns_, "m", "ZPUSHNAME") + ", " +
        columnOr(messageColumns_, "m", "ZISFROMME", "0") + " FROM ZWAMESSAGE m";
    auto rows = prepare(db(), sql);
    if (!rows) {
        warnings_.push_back("Could not count the messages of ChatStorage.sqlite: " +
                            rows.error().reason);
        return;
    }
    struct Sender {
        std::int64_t chat;
        std::optional<std::string> member, from, pushName;
    };
    std::vector<Sender> senders;
    std::unordered_map<std::string, std::size_t, StringHash, std::equal_to<>> senderByKey;
    std::string key;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        sqlite3_stmt* row = rows->get();
        const std::int64_t chat = sqlite3_column_int64(row, 0);
        const auto found = chatByKey_.find(chat);
        if (found == chatByKey_.end()) continue;
        ConversationOutline& outline = outlines_[found->second];
        ++outline.messageCount;
        if (const auto date = millisSinceReference(realColumn(row, 1))) {
            if (!outline.firstDate || *date < *outline.firstDate) outline.firstDate = date;
            if (!outline.lastDate || *date > *outline.lastDate) outline.lastDate = date;
        }
        if (sqlite3_column_int64(row, 5) != 0) continue;  // the owner's own
        const std::string* member = memberJidAt(row, 2);
        std::optional<std::string_view> from = utf8Text(textColumn(row, 3));
        if (from && from->empty()) from.reset();
        // Absent and empty are told apart by the mark before each.
        key.assign(reinterpret_cast<const char*>(&chat), sizeof chat);
        key += member ? '+' : '-';
        if (member) key.append(*member).push_back('\0');
        key += from ? '+' : '-';
        if (from) key += *from;
        auto [slot, added] = senderByKey.try_emplace(key, senders.size());
        if (added)
            senders.push_back({chat, optionalCopy(member),
                               from ? std::optional<std::string>(*from) : std::nullopt,
                               std::nullopt});
        std::optional<std::string>& pushName = senders[slot->second].pushName;
        if (auto name = utf8Text(textColumn(row, 4)); name && (!pushName || *name > *pushName))
            pushName = std::string(*name);
    }
    if (status != SQLITE_DONE)
        warnings_.push_back(std::string("Could not count every message of ChatStorage.sqlite: ") +
                            sqlite3_errmsg(db()));
    std::sort(senders.begin(), senders.end(), [](const Sender& a, const Sender& b) {
        return std::tie(a.chat, a.member, a.from) < std::tie(b.chat, b.member, b.from);
    });
    for (Sender& sender : senders) {
        const std::size_t chat = chatByKey_.at(sender.chat);
        if (auto jid = senderJid(chatList_[chat], sender.member, sender.from)) {
            if (sender.member || sender.from) participantIndex(chat, *jid);
            if (sender.pushName && sender.pushName->empty()) sender.pushName.reset();
            names_.learn(*jid, std::move(sender.pushName), NameSource::PushName);
        }
    }
}

// Calls as CallHistory.sqlite keeps them: an event (date, length, video) and the people in it.
void WhatsAppStore::readCalls(const StoredDatabase& calls) {
    sqlite3* database = calls.database.handle();
    const ColumnNames events = columnsOf(database, "ZWACDCALLEVENT");
    if (!hasColumns(events, {"Z_PK", "ZDATE"}) ||
        !hasTableWithColumns(database, "ZWACDCALLEVENTPARTICIPANT", {"ZCALLEVENT", "ZJIDSTRING"})) {
        warnings_.push_back(
            "CallHistory.sqlite has no call table this version knows: calls are "
            "left out");
        return;
    }
    auto rows = prepare(database, "SELECT e.ZDATE, " + columnOr(events, "e", "ZDURATION", "0") +
                                      ", " + columnOr(events, "e", "ZVIDEO", "0") +
                                      ", p.ZJIDSTRING FROM ZWACDCALLEVENT e JOIN "
                                      "ZWACDCALLEVENTPARTICIPANT p ON p.ZCALLEVENT = e.Z_PK "
                                      "ORDER BY e.ZDATE, e.Z_PK");
    if (!rows) return;
    std::map<std::string, std::size_t> personChats;
    for (std::size_t index = 0; index < chatList_.size(); ++index)
        if (chatList_[index].type == PersonChat) personChats.emplace(chatList_[index].jid, index);
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        sqlite3_stmt* row = rows->get();
        const std::optional<std::string> jid = text(row, 3);
        if (!jid) continue;
        auto [found, added] = personChats.try_emplace(*jid, chatList_.size());
        if (added) {
            // Someone called but never written to: a conversation of calls only.
            Chat chat;
            chat.jid = *jid;
            chat.participantJids.push_back(*jid);
            chatList_.push_back(std::move(chat));
            outlines_.push_back({{}, options_.service, {}, 0, {}, {}, {}});
            if (archivedKept_) outlines_.back().archived = false;
        }
        Call call{millisSinceReference(realColumn(row, 0)), realColumn(row, 1).value_or(0),
                  sqlite3_column_int64(row, 2) != 0};
        ConversationOutline& outline = outlines_[found->second];
        ++outline.messageCount;
        if (call.date && (!outline.firstDate || *call.date < *outline.firstDate))
            outline.firstDate = call.date;
        if (call.date && (!outline.lastDate || *call.date > *outline.lastDate))
            outline.lastDate = call.date;
        chatList_[found->second].calls.push_back(call);
    }
    if (status != SQLITE_DONE)
        warnings_.push_back(std::string("Could not read every call of CallHistory.sqlite: ") +
                            sqlite3_errmsg(database));
}

void WhatsAppStore::finishOutlines() {
    for (std::size_t index = 0; index < chatList_.size(); ++index) {
        const Chat& chat = chatList_[index];
        ConversationOutline& outline = outlines_[index];
        for (const std::string& jid : chat.participantJids)
            outline.participants.push_back(names_.participant(jid));
        if (!outline.title.empty()) continue;
        if (chat.type == StatusUpdates)
            outline.title = "Status updates";
        else if (chat.type == PersonChat && !outline.participants.empty())
            outline.title = shownName(outline.participants.front());
        else if (chat.type == BroadcastList)
            outline.title = "Broadcast list";
        else
            outline.title = chat.type == GroupChat ? "Group" : chat.jid;
    }
}

std::string WhatsAppStore::messagesSql() const {
    const bool members = messageColumns_.contains("ZGROUPMEMBER") &&
                         hasColumns(memberColumns_, {"Z_PK", "ZMEMBERJID"});
    const bool media = messageColumns_.contains("ZMEDIAITEM") && mediaColumns_.contains("Z_PK");
    auto m = [&](std::string_view name) { return columnOr(messageColumns_, "m", name); };
    auto i = [&](std::string_view name) {
        return media ? columnOr(mediaColumns_, "i", name) : std::string("NULL");
    };
    return "SELECT m.Z_PK, " + m("ZISFROMME") + ", " + m("ZFROMJID") + ", " + m("ZTEXT") + ", " +
           m("ZMESSAGEDATE") + ", " + m("ZMESSAGETYPE") + ", " +
           (members ? "m.ZGROUPMEMBER" : "NULL") + ", " + m("ZPARENTMESSAGE") + ", " +
           (media ? "i.Z_PK" : "NULL") + ", " + i("ZMEDIALOCALPATH") + ", " + i("ZTITLE") + ", " +
           i("ZLATITUDE") + ", " + i("ZLONGITUDE") + ", " + i("ZVCARDSTRING") +
           " FROM ZWAMESSAGE m " +
           (media ? "LEFT JOIN ZWAMEDIAITEM i ON i.Z_PK = m.ZMEDIAITEM " : "") +
           "WHERE m.ZCHATSESSION = ?";
}

// The words for a kind of message whose file is missing, or that has no file at all.
std::optional<std::string> kindNote(std::int64_t type) {
    switch (type) {
        case Image:
            return "Photo";
        case Video:
            return "Video";
        case Audio:
            return "Voice message";
        case Document:
            return "Document";
        case Gif:
            return "GIF";
        case Sticker:
            return "Sticker";
        default:
            return std::nullopt;
    }
}

void WhatsAppStore::fillMessage(sqlite3_stmt* row, Chat& chat, Message& message) {
    const std::int64_t type = sqlite3_column_int64(row, 5);
    message.date = millisSinceReference(realColumn(row, 4));
    message.fromMe = sqlite3_column_int64(row, 1) != 0;
    if (!message.fromMe)
        if (auto jid = senderJid(chat, optionalCopy(memberJidAt(row, 6)), text(row, 2)))
            message.sender =
                participantIndex(static_cast<std::size_t>(&chat - chatList_.data()), *jid);
    message.text = text(row, 3);
    const bool hasMedia = sqlite3_column_type(row, 8) != SQLITE_NULL;
    const std::optional<std::string> title = text(row, 10);
    if (type == Deleted || (type == Text && !message.text && !hasMedia)) {
        message.unsent = true;
        message.text.reset();
        return;
    }
    if (auto path = text(row, 9); path && type != ContactCard && type != Place) {
        MessageAttachment attachment;
        if (auto relative = containerPath(*path, options_)) {
            attachment.domain = options_.domain;
            attachment.relativePath = std::move(*relative);
        }
        attachment.name = type == Document && title ? *title : lastPathComponent(*path);
        attachment.date = message.date;
        message.attachments.push_back(std::move(attachment));
    }
    switch (type) {
        case Text:
        case Link:
            return;
        case ContactCard: {
            std::optional<std::string> name;
            if (auto card = textColumn(row, 13)) name = vCardName(*card);
            if (!name) name = message.text;
            message.note = name ? "Contact card: " + *name : "Contact card";
            message.text.reset();
            return;
        }
        case Place: {
            auto latitude = realColumn(row, 11);
            auto longitude = realColumn(row, 12);
            if (latitude && longitude && std::abs(*latitude) <= 90 && std::abs(*longitude) <= 180)
                message.location = Location{*latitude, *longitude};
            message.note = "Location";
            if (!message.text) message.text = title;
            return;
        }
        case SystemEvent:
            message.event = message.text.value_or("Group settings changed");
            message.text.reset();
            return;
        case Poll:
            message.note = message.text ? "Poll: " + *message.text : "Poll";
            message.text.reset();
            return;
        case CallMessage:
            message.event = message.text.value_or("Call");
            message.text.reset();
            return;
        default:
            break;
    }
    if (auto note = kindNote(type)) {
        if (type == Sticker || type == Gif || message.attachments.empty()) message.note = note;
        if (!message.text && type != Document) message.text = title;  // the caption
        return;
    }
    message.note = "A kind of message this version doesn't know (" + std::to_string(type) + ")";
}

Result<Conversation> WhatsAppStore::read(std::size_t index) {
    if (index >= chatList_.size())
        return Error{"Could not read chat", std::to_string(index), "there is no such chat"};
    Chat& chat = chatList_[index];
    std::vector<ReadMessage> read;
    if (chat.key && hasColumns(messageColumns_, {"Z_PK", "ZCHATSESSION"})) {
        if (!messageRows_) {
            auto rows = prepare(db(), messagesSql());
            if (!rows) return rows.error();
            messageRows_ = std::move(*rows);
        }
        sqlite3_stmt* rows = messageRows_.get();
        sqlite3_reset(rows);
        sqlite3_bind_int64(rows, 1, *chat.key);
        int status = SQLITE_ROW;
        while ((status = sqlite3_step(rows)) == SQLITE_ROW) {
            ReadMessage each;
            each.key = sqlite3_column_int64(rows, 0);
            each.parent = integerColumn(rows, 7);
            each.storedDate = realColumn(rows, 4);
            fillMessage(rows, chat, each.message);
            read.push_back(std::move(each));
        }
        if (status != SQLITE_DONE) {
            if (read.empty())
                return sqliteError(db(),
                                   "Could not read the messages of " + outlines_[index].title);
            warnings_.push_back("Could not read every message of \"" + outlines_[index].title +
                                "\": " + sqlite3_errmsg(db()));
        }
    }
    for (const Call& call : chat.calls) {
        ReadMessage each;
        each.message.date = call.date;
        each.message.event = callLine(call);
        read.push_back(std::move(each));
    }
    // Calls go between the messages by date. The order is found among the rows' places, so that
    // each message is moved once.
    std::vector<std::size_t> order(read.size());
    for (std::size_t at = 0; at < order.size(); ++at) order[at] = at;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return comesBefore(read[a], a, read[b], b); });
    std::unordered_map<std::int64_t, std::size_t> positions;
    for (std::size_t at = 0; at < order.size(); ++at)
        if (read[order[at]].key) positions.emplace(read[order[at]].key, at);
    Conversation conversation;
    conversation.outline = outlines_[index];
    conversation.messages.reserve(read.size());
    for (std::size_t at : order) {
        ReadMessage& each = read[at];
        if (each.parent)
            if (auto found = positions.find(*each.parent); found != positions.end())
                each.message.replyTo = found->second;
        conversation.messages.push_back(std::move(each.message));
    }
    // Senders met only now (a group member the summaries didn't list) join the participants.
    conversation.outline.participants.clear();
    for (const std::string& jid : chat.participantJids)
        conversation.outline.participants.push_back(names_.participant(jid));
    conversation.outline.messageCount = conversation.messages.size();
    return conversation;
}

}  // namespace

std::optional<std::string> phoneNumberOfJid(std::string_view jid) {
    const std::size_t at = jid.find('@');
    if (at == std::string_view::npos || jid.substr(at) != "@s.whatsapp.net") return std::nullopt;
    std::string_view user = jid.substr(0, at);
    // A device suffix ("4915112345678:12") names one of the person's devices.
    user = user.substr(0, user.find(':'));
    if (user.empty() ||
        !std::all_of(user.begin(), user.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return "+" + std::string(user);
}

Result<ConversationCounts> countWhatsAppChats(sqlite3* database) {
    const ColumnNames columns = columnsOf(database, "ZWACHATSESSION");
    if (!hasColumns(columns, {"Z_PK", "ZCONTACTJID"}))
        return Error{"Could not count", "ChatStorage.sqlite",
                     "it has no chat table this version knows"};
    // The chats an export takes by default: every one but the status updates.
    const std::string chats =
        "SELECT c.Z_PK FROM ZWACHATSESSION c WHERE ifnull(c.ZCONTACTJID, '') "
        "<> 'status@broadcast' AND " +
        columnOr(columns, "c", "ZSESSIONTYPE", "0") + " IS NOT " + std::to_string(StatusUpdates);
    std::string messages = "0";
    if (hasTableWithColumns(database, "ZWAMESSAGE", {"Z_PK", "ZCHATSESSION"}))
        messages = "(SELECT count(*) FROM ZWAMESSAGE WHERE ZCHATSESSION IN (" + chats + "))";
    auto counted = prepare(database, "SELECT (SELECT count(*) FROM (" + chats + ")), " + messages);
    if (!counted) return counted.error();
    if (sqlite3_step(counted->get()) != SQLITE_ROW)
        return sqliteError(database, "Could not count the chats of ChatStorage.sqlite");
    return ConversationCounts{static_cast<std::size_t>(sqlite3_column_int64(counted->get(), 0)),
                              static_cast<std::size_t>(sqlite3_column_int64(counted->get(), 1))};
}

Result<std::unique_ptr<ConversationStore>> openWhatsAppChats(StoredDatabase chats,
                                                             std::optional<StoredDatabase> calls,
                                                             ContactNames names,
                                                             WhatsAppChatOptions options) {
    auto store =
        std::make_unique<WhatsAppStore>(std::move(chats), std::move(names), std::move(options));
    if (Status loaded = store->load(std::move(calls)); !loaded) return loaded.error();
    return std::unique_ptr<ConversationStore>(std::move(store));
}

}  // namespace salvora
