#include "sources/messages/SmsDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <map>
#include <unordered_map>

#include "catalog/StoredFileLookup.h"
#include "foundation/StringHash.h"
#include "foundation/Utf8Text.h"
#include "plist/PropertyList.h"
#include "plist/Typedstream.h"
#include "recovery/RelativePath.h"
#include "sources/contacts/AddressBookNames.h"
#include "sqlite/ReferenceDate.h"
#include "sqlite/SchemaProbes.h"
#include "sqlite/Statement.h"

namespace salvora {
namespace {

// Dates above this many units since 2001 are nanoseconds (iOS 11 on): in seconds it would be
// thousands of years away, in nanoseconds it is a hundred seconds after 2001.
constexpr std::int64_t nanosecondsAbove = 100'000'000'000;
constexpr std::int64_t sortLast = std::numeric_limits<std::int64_t>::max();

// Reactions are rows of their own: 2000 + kind to add one, 3000 + kind to take it away.
constexpr std::int64_t reactionAdded = 2000;
constexpr std::int64_t reactionRemoved = 3000;
struct ReactionKind {
    const char* kind;
    const char* emoji;
};
constexpr ReactionKind reactionKinds[] = {
    {"love", "❤️"},      {"like", "👍"},     {"dislike", "👎"}, {"laugh", "😂"},
    {"emphasize", "‼️"}, {"question", "❓"}, {"emoji", ""}};
constexpr std::int64_t reactionKindCount = std::size(reactionKinds);

std::optional<std::int64_t> reactionKindOf(std::int64_t type) {
    for (std::int64_t base : {reactionAdded, reactionRemoved})
        if (type >= base && type < base + reactionKindCount) return type - base;
    return std::nullopt;
}

std::optional<std::string> text(sqlite3_stmt* statement, int column) {
    auto valid = utf8Text(textColumn(statement, column));
    if (!valid) return std::nullopt;
    return std::string(*valid);
}

// A date since 2001 as Messages keeps it, in seconds or in nanoseconds (iOS 11 on); 0 is no date.
std::optional<UnixMillis> messageDate(sqlite3_stmt* statement, int column) {
    std::optional<std::int64_t> value = integerColumn(statement, column);
    if (!value)
        if (auto real = realColumn(statement, column); real && std::abs(*real) < 1e15)
            value = static_cast<std::int64_t>(*real);
    if (!value || *value == 0) return std::nullopt;
    if (*value > nanosecondsAbove || *value < -nanosecondsAbove) {
        // Rounded down, as for whole seconds.
        std::int64_t millis = *value / 1'000'000;
        if (*value % 1'000'000 < 0) --millis;
        return millis + ReferenceDateUnixSeconds * 1000;
    }
    return (*value + ReferenceDateUnixSeconds) * 1000;
}

// "p:0/GUID" (a part of the message) or "bp:GUID" (the whole bubble) names the target's GUID.
std::string_view targetGuid(std::string_view reference) {
    if (reference.starts_with("p:")) {
        auto slash = reference.find('/');
        return slash == std::string_view::npos ? reference : reference.substr(slash + 1);
    }
    if (reference.starts_with("bp:")) return reference.substr(3);
    return reference;
}

// The object replacement character stands where an attachment sits in the text.
std::optional<std::string> withoutAttachmentMarks(std::optional<std::string> body) {
    if (!body) return body;
    static constexpr std::string_view mark = "\xEF\xBF\xBC";
    for (auto at = body->find(mark); at != std::string::npos; at = body->find(mark, at))
        body->erase(at, mark.size());
    if (body->empty()) return std::nullopt;
    return body;
}

// "~/Library/SMS/Attachments/ab/11/GUID/IMG_1.HEIC" (or under "/var/mobile/") is MediaDomain's
// "Library/SMS/Attachments/ab/11/GUID/IMG_1.HEIC"; a path elsewhere on the phone, or one that
// climbs out with "..", names nothing the backup holds.
std::optional<std::string> attachmentRelativePath(std::string_view filename) {
    for (std::string_view home : {"~/", "/var/mobile/", "/private/var/mobile/"})
        if (filename.starts_with(home)) {
            filename.remove_prefix(home.size());
            break;
        }
    if (filename.starts_with('/') || !soundRelativePath(filename, "MediaDomain"))
        return std::nullopt;
    return std::string(filename);
}

// A column's expression when the table has it, else NULL.
std::string columnOr(const ColumnNames& columns, std::string_view column,
                     std::string_view otherwise = "NULL") {
    return columns.contains(column) ? "m." + quotedName(column) : std::string(otherwise);
}

// Where the schema has a handle table (iOS 5 and later), a message names its handle by ROWID.
bool namesHandlesByRowid(sqlite3* database, const ColumnNames& m) {
    return m.contains("handle_id") && hasTableWithColumns(database, "handle", {"id"});
}

// The expression of a message's handle, as the schema keeps it.
std::string handleExpressionOf(sqlite3* database, const ColumnNames& m) {
    if (namesHandlesByRowid(database, m))
        return "(SELECT h.id FROM handle h WHERE h.ROWID = m.handle_id)";
    if (m.contains("address"))
        return m.contains("madrid_handle") ? "COALESCE(m.address, m.madrid_handle)" : "m.address";
    return "NULL";
}

// The condition that a row of `message m` is a message, not a reaction.
std::string notReaction(const ColumnNames& m) {
    if (!m.contains("associated_message_type")) return "1";
    std::string condition = "NOT (";
    for (std::int64_t base : {reactionAdded, reactionRemoved})
        condition += (base == reactionAdded ? "" : " OR ") +
                     std::string("m.associated_message_type BETWEEN ") + std::to_string(base) +
                     " AND " + std::to_string(base + reactionKindCount - 1);
    return condition + ")";
}

struct PendingReaction {
    std::int64_t sortDate;
    std::int64_t rowid;
    std::string handle;
    bool fromMe;
    std::int64_t type;
    std::string emoji;
};

// A message as the first pass files it: enough to order a conversation without its text.
struct MessageRef {
    std::int64_t sortDate;
    std::int64_t rowid;
};

struct Entry {
    std::optional<std::int64_t> chat;  // the chat's ROWID, for a conversation of one
    std::vector<MessageRef> messages;
    std::unordered_map<std::string, std::size_t, StringHash, std::equal_to<>> participantByHandle;
    std::string displayName;
    std::string identifier;
};

class SmsConversations final : public ConversationStore {
  public:
    SmsConversations(StoredDatabase stored, ContactNames names, std::string ownerName)
        : stored_(std::move(stored)), names_(std::move(names)), owner_(std::move(ownerName)) {
        if (stored_.warning) warnings_.push_back(*stored_.warning);
    }

    std::optional<Error> load(const PartFiles& partFiles);

    const std::vector<ConversationOutline>& outlines() const override { return outlines_; }
    Result<Conversation> read(std::size_t index) override;
    std::vector<std::string> warnings() const override { return warnings_; }

  private:
    sqlite3* db() const { return stored_.database.handle(); }
    std::size_t newConversation();
    std::size_t conversationFor(const std::string& key);
    std::size_t participantOf(std::size_t conversation, std::string_view handle);
    void loadHandles();
    std::optional<std::string_view> handleAt(sqlite3_stmt* row, int column) const;
    std::vector<std::pair<std::int64_t, std::int64_t>> chatsOfMessages();
    void loadChats();
    void loadOldGroups();
    void readRows();
    void finishOutlines();
    std::vector<Reaction> reactionsOn(std::string_view guid, std::size_t conversation);
    std::string eventOf(sqlite3_stmt* row, std::size_t conversation, const std::string& who);
    std::vector<MessageAttachment> attachmentsOf(std::int64_t rowid);
    // One message row as read() gives it, with the GUIDs its replies are matched by.
    struct RowRead {
        Message message;
        std::optional<std::string> replyGuid;
        std::optional<std::string> guid;  // only where replies are kept
    };
    RowRead rowAt(sqlite3_stmt* row, std::size_t index, bool& piecesWhole);
    bool readChatRows(std::size_t index, std::vector<std::optional<RowRead>>& rows,
                      bool& piecesWhole);
    void warnIfStopped(int status, std::string_view what);

    StoredDatabase stored_;
    ContactNames names_;
    std::string owner_;
    std::vector<std::string> warnings_;
    ColumnNames messageColumns_;
    bool chats_ = false;
    bool unixDates_ = false;
    bool replies_ = false;  // whether messages name the message they reply to
    std::string handleExpression_;
    bool handlesByRowid_ = false;
    // The handle table, read once where the schema has one: a message names its handle by ROWID,
    // and looking each up in SQLite took more time than reading the message.
    std::optional<std::unordered_map<std::int64_t, std::string>> handleIds_;
    std::string handleColumn_;  // what a message row selects for its handle
    std::string fromMeExpression_;
    std::string dateExpression_;  // seconds or nanoseconds since 2001
    std::vector<ConversationOutline> outlines_;
    std::vector<Entry> entries_;
    // The conversations of no chat: "g" and a group_id, or "h" and a handle.
    std::unordered_map<std::string, std::size_t> conversationByKey_;
    std::unordered_map<std::int64_t, std::size_t> conversationOfChat_;  // by chat ROWID
    std::unordered_map<std::string, std::vector<PendingReaction>, StringHash, std::equal_to<>>
        reactionsByTarget_;
    Statement messageRow_;
    Statement chatRows_;  // a chat's messages in ROWID order, where an index finds them
    Statement attachmentRows_;
    std::optional<MessagePieces> pieces_;
};

void SmsConversations::warnIfStopped(int status, std::string_view what) {
    if (status == SQLITE_DONE) return;
    warnings_.push_back("Some " + std::string(what) + " of sms.db could not be read (" +
                        sqlite3_errmsg(db()) + "); the rest were exported.");
}

std::size_t SmsConversations::newConversation() {
    outlines_.emplace_back();
    entries_.emplace_back();
    return outlines_.size() - 1;
}

std::size_t SmsConversations::conversationFor(const std::string& key) {
    if (auto found = conversationByKey_.find(key); found != conversationByKey_.end())
        return found->second;
    return conversationByKey_[key] = newConversation();
}

std::size_t SmsConversations::participantOf(std::size_t conversation, std::string_view handle) {
    Entry& entry = entries_[conversation];
    if (auto found = entry.participantByHandle.find(handle);
        found != entry.participantByHandle.end())
        return found->second;
    std::vector<Participant>& participants = outlines_[conversation].participants;
    entry.participantByHandle.emplace(handle, participants.size());
    participants.push_back({std::string(handle), names_.nameOf(std::string(handle)).value_or("")});
    return participants.size() - 1;
}

void SmsConversations::loadHandles() {
    handleColumn_ = handleExpression_;
    if (!handlesByRowid_) return;
    auto rows = prepare(db(), "SELECT ROWID, id FROM handle");
    if (!rows) return;
    std::unordered_map<std::int64_t, std::string> ids;
    int status;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW)
        if (auto id = text(rows->get(), 1)) ids.emplace(sqlite3_column_int64(rows->get(), 0), *id);
    // A handle table that can't be read whole is looked up row by row.
    if (status != SQLITE_DONE) return;
    handleIds_ = std::move(ids);
    handleColumn_ = "m.handle_id";
}

// Valid until the row's next step.
std::optional<std::string_view> SmsConversations::handleAt(sqlite3_stmt* row, int column) const {
    if (!handleIds_) return utf8Text(textColumn(row, column));
    if (sqlite3_column_type(row, column) != SQLITE_INTEGER) return std::nullopt;
    auto found = handleIds_->find(sqlite3_column_int64(row, column));
    if (found == handleIds_->end()) return std::nullopt;
    return found->second;
}

void SmsConversations::loadChats() {
    const ColumnNames chat = columnsOf(db(), "chat");
    std::string sql = "SELECT ROWID, ";
    sql += chat.contains("display_name") ? "display_name, " : "NULL, ";
    sql += chat.contains("service_name") ? "service_name, " : "NULL, ";
    sql += chat.contains("chat_identifier") ? "chat_identifier" : "NULL";
    auto rows = prepare(db(), sql + " FROM chat ORDER BY ROWID");
    if (!rows) return warnIfStopped(SQLITE_ERROR, "conversations");
    int status;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        const std::int64_t chat = sqlite3_column_int64(rows->get(), 0);
        auto [known, added] = conversationOfChat_.try_emplace(chat, 0);
        if (added) known->second = newConversation();
        const std::size_t index = known->second;
        entries_[index].chat = chat;
        entries_[index].displayName = text(rows->get(), 1).value_or("");
        outlines_[index].service = text(rows->get(), 2).value_or("");
        entries_[index].identifier = text(rows->get(), 3).value_or("");
    }
    warnIfStopped(status, "conversations");

    if (!hasTableWithColumns(db(), "chat_handle_join", {"chat_id", "handle_id"})) return;
    auto members = prepare(db(),
                           "SELECT j.chat_id, h.id FROM chat_handle_join j JOIN handle h ON "
                           "h.ROWID = j.handle_id ORDER BY j.chat_id, j.handle_id");
    if (!members) return warnIfStopped(SQLITE_ERROR, "participants");
    while ((status = sqlite3_step(members->get())) == SQLITE_ROW) {
        auto found = conversationOfChat_.find(sqlite3_column_int64(members->get(), 0));
        auto handle = utf8Text(textColumn(members->get(), 1));
        if (found != conversationOfChat_.end() && handle) participantOf(found->second, *handle);
    }
    warnIfStopped(status, "participants");
}

void SmsConversations::loadOldGroups() {
    if (!hasTableWithColumns(db(), "group_member", {"group_id", "address"})) return;
    auto members =
        prepare(db(), "SELECT group_id, address FROM group_member ORDER BY group_id, ROWID");
    if (!members) return warnIfStopped(SQLITE_ERROR, "participants");
    int status;
    while ((status = sqlite3_step(members->get())) == SQLITE_ROW) {
        auto handle = text(members->get(), 1);
        if (!handle) continue;
        const std::size_t index =
            conversationFor("g" + std::to_string(sqlite3_column_int64(members->get(), 0)));
        participantOf(index, *handle);
    }
    warnIfStopped(status, "participants");
}

// Each joined message's chat, the first should it be joined to several, in message order: the
// join table read as it lies and sorted here, rather than its row looked up for every message.
std::vector<std::pair<std::int64_t, std::int64_t>> SmsConversations::chatsOfMessages() {
    std::vector<std::pair<std::int64_t, std::int64_t>> joined;
    auto rows = prepare(db(),
                        "SELECT message_id, chat_id FROM chat_message_join WHERE message_id IS NOT "
                        "NULL AND chat_id IS NOT NULL");
    if (!rows) {
        warnIfStopped(SQLITE_ERROR, "messages' conversations");
        return joined;
    }
    int status;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW)
        joined.emplace_back(sqlite3_column_int64(rows->get(), 0),
                            sqlite3_column_int64(rows->get(), 1));
    warnIfStopped(status, "messages' conversations");
    std::sort(joined.begin(), joined.end());
    joined.erase(std::unique(joined.begin(), joined.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 joined.end());
    return joined;
}

// One pass over every message in ROWID order, beside each message's chat (the first, should a
// message be joined to several), filing messages under their conversations and reactions under
// their targets.
void SmsConversations::readRows() {
    const ColumnNames& m = messageColumns_;
    const bool groups = !chats_ && m.contains("group_id") && !columnsOf(db(), "msg_group").empty();
    const std::string reactionType = columnOr(m, "associated_message_type", "0");
    std::string sql = "SELECT m.ROWID, " + dateExpression_ + ", " + handleColumn_ + ", " +
                      fromMeExpression_ + ", " + reactionType + ", " +
                      columnOr(m, "associated_message_guid") + ", " +
                      columnOr(m, "associated_message_emoji") + ", " +
                      (groups ? std::string("m.group_id") : "NULL") + ", " + columnOr(m, "service");
    sql += " FROM message m ORDER BY m.ROWID";
    auto rows = prepare(db(), sql);
    if (!rows) return warnIfStopped(SQLITE_ERROR, "messages");

    const std::vector<std::pair<std::int64_t, std::int64_t>> joined =
        chats_ ? chatsOfMessages() : std::vector<std::pair<std::int64_t, std::int64_t>>();
    auto nextJoined = joined.begin();

    int status;
    while ((status = sqlite3_step(rows->get())) == SQLITE_ROW) {
        sqlite3_stmt* row = rows->get();
        const std::int64_t rowid = sqlite3_column_int64(row, 0);
        std::optional<std::int64_t> chat;
        while (nextJoined != joined.end() && nextJoined->first < rowid) ++nextJoined;
        if (nextJoined != joined.end() && nextJoined->first == rowid) chat = nextJoined->second;

        const auto date = messageDate(row, 1);
        const std::int64_t sortDate = date.value_or(sortLast);
        const auto handle = handleAt(row, 2);
        const bool fromMe = sqlite3_column_int64(row, 3) != 0;
        const std::int64_t type = sqlite3_column_int64(row, 4);
        std::optional<std::size_t> conversation;
        if (chat) {
            auto found = conversationOfChat_.find(*chat);
            if (found != conversationOfChat_.end()) conversation = found->second;
        }

        if (reactionKindOf(type)) {
            auto target = text(row, 5);
            if (!target) continue;
            if (conversation && handle && !fromMe) participantOf(*conversation, *handle);
            reactionsByTarget_[std::string(targetGuid(*target))].push_back(
                {sortDate, rowid, std::string(handle.value_or("")), fromMe, type,
                 text(row, 6).value_or("")});
            continue;
        }
        if (!conversation) {
            // Old schemas group by group_id, else by address; a message of no chat goes with its
            // handle.
            if (sqlite3_column_type(row, 7) == SQLITE_INTEGER)
                conversation = conversationFor("g" + std::to_string(sqlite3_column_int64(row, 7)));
            else
                conversation = conversationFor("h" + std::string(handle.value_or("")));
        }
        ConversationOutline& outline = outlines_[*conversation];
        if (handle && !handle->empty()) participantOf(*conversation, *handle);
        if (outline.service.empty())
            outline.service = text(row, 8).value_or(unixDates_ ? "SMS" : "");
        entries_[*conversation].messages.push_back({sortDate, rowid});
        ++outline.messageCount;
        if (date) {
            if (!outline.firstDate || *date < *outline.firstDate) outline.firstDate = date;
            if (!outline.lastDate || *date > *outline.lastDate) outline.lastDate = date;
        }
    }
    warnIfStopped(status, "messages");
}

void SmsConversations::finishOutlines() {
    for (std::size_t i = 0; i < outlines_.size(); ++i) {
        Entry& entry = entries_[i];
        std::stable_sort(
            entry.messages.begin(), entry.messages.end(),
            [](const MessageRef& a, const MessageRef& b) { return a.sortDate < b.sortDate; });
        ConversationOutline& outline = outlines_[i];
        if (!entry.displayName.empty()) {
            outline.title = entry.displayName;
            continue;
        }
        for (const Participant& participant : outline.participants) {
            if (!outline.title.empty()) outline.title += ", ";
            outline.title += shownName(participant);
        }
        if (outline.title.empty()) outline.title = entry.identifier;
        if (outline.title.empty()) outline.title = "Unknown";
    }
}

std::optional<Error> SmsConversations::load(const PartFiles& partFiles) {
    // A file that isn't a database at all fails here, rather than seeming to lack the table.
    auto schema = prepare(db(), "SELECT count(*) FROM sqlite_schema");
    if (!schema || sqlite3_step(schema->get()) != SQLITE_ROW)
        return sqliteError(db(), "Could not read");
    messageColumns_ = columnsOf(db(), "message");
    if (messageColumns_.empty())
        return Error{"Could not read", std::string(smsDatabasePath), "it holds no message table"};
    const ColumnNames& m = messageColumns_;
    chats_ = hasTableWithColumns(db(), "chat_message_join", {"chat_id", "message_id"}) &&
             !columnsOf(db(), "chat").empty();
    unixDates_ = !chats_ && !m.contains("handle_id");
    // The oldest schema counts from 1970, but its iMessages (iOS 5's "madrid" rows) from 2001.
    dateExpression_ = columnOr(m, "date");
    if (unixDates_ && m.contains("date")) {
        const std::string since1970 =
            "(NULLIF(m.date, 0) - " + std::to_string(ReferenceDateUnixSeconds) + ")";
        dateExpression_ = m.contains("is_madrid")
                              ? "CASE WHEN m.is_madrid = 1 THEN m.date ELSE " + since1970 + " END"
                              : since1970;
    }
    replies_ = m.contains("thread_originator_guid");
    handleExpression_ = handleExpressionOf(db(), m);
    handlesByRowid_ = namesHandlesByRowid(db(), m);
    loadHandles();
    if (m.contains("is_from_me"))
        fromMeExpression_ = "m.is_from_me";
    else if (m.contains("flags"))
        fromMeExpression_ = "(m.flags & 1)";
    else
        fromMeExpression_ = "0";
    if (!hasColumns(m, {"text"}) && !m.contains("attributedBody"))
        warnings_.push_back(
            "The messages of sms.db hold no text this version knows; their dates "
            "and senders were exported.");

    if (chats_)
        loadChats();
    else
        loadOldGroups();
    readRows();
    finishOutlines();

    std::string sql = "SELECT " + columnOr(m, "guid") + ", " + columnOr(m, "text") + ", " +
                      columnOr(m, "attributedBody") + ", " + handleColumn_ + ", " +
                      fromMeExpression_ + ", " + dateExpression_ + ", " +
                      columnOr(m, "item_type", "0") + ", " + columnOr(m, "group_action_type", "0") +
                      ", " + columnOr(m, "group_title") + ", ";
    if (!m.contains("other_handle") || !handlesByRowid_)
        sql += "NULL, ";
    else if (handleIds_)
        sql += "m.other_handle, ";
    else
        sql += "(SELECT h.id FROM handle h WHERE h.ROWID = m.other_handle), ";
    sql += columnOr(m, "thread_originator_guid") + ", " + columnOr(m, "date_edited") + ", " +
           columnOr(m, "date_retracted") + ", " + columnOr(m, "message_summary_info") + ", " +
           columnOr(m, "cache_has_attachments", "1") + ", m.ROWID";
    auto row = prepare(db(), sql + " FROM message m WHERE m.ROWID = ?");
    if (!row) return sqliteError(db(), "Could not read the messages of");
    messageRow_ = std::move(*row);
    // A chat's messages come with one statement where the join table's index finds them: a
    // statement for each message took most of the reading.
    if (chats_ && hasIndexLeadingWith(db(), "chat_message_join", "chat_id"))
        if (auto rows = prepare(db(), sql + " FROM chat_message_join j CROSS JOIN message m ON "
                                            "m.ROWID = j.message_id WHERE j.chat_id = ? ORDER "
                                            "BY j.message_id"))
            chatRows_ = std::move(*rows);

    const ColumnNames attachment = columnsOf(db(), "attachment");
    if (hasTableWithColumns(db(), "message_attachment_join", {"message_id", "attachment_id"}) &&
        attachment.contains("filename")) {
        auto column = [&](std::string_view name) {
            return attachment.contains(name) ? "a." + quotedName(name) : std::string("NULL");
        };
        auto rows = prepare(db(), "SELECT a.filename, " + column("transfer_name") + ", " +
                                      column("mime_type") + ", " + column("created_date") +
                                      " FROM message_attachment_join j JOIN attachment a ON "
                                      "a.ROWID = j.attachment_id WHERE j.message_id = ? "
                                      "ORDER BY a.ROWID");
        if (rows)
            attachmentRows_ = std::move(*rows);
        else
            warnIfStopped(SQLITE_ERROR, "attachments");
    }
    pieces_ = MessagePieces::open(db(), partFiles);
    return std::nullopt;
}

std::vector<MessageAttachment> SmsConversations::attachmentsOf(std::int64_t rowid) {
    std::vector<MessageAttachment> attachments;
    if (!attachmentRows_) return attachments;
    sqlite3_stmt* rows = attachmentRows_.get();
    sqlite3_reset(rows);
    sqlite3_bind_int64(rows, 1, rowid);
    int status;
    while ((status = sqlite3_step(rows)) == SQLITE_ROW) {
        MessageAttachment attachment;
        auto filename = text(rows, 0);
        if (filename && !filename->empty()) {
            if (auto relative = attachmentRelativePath(*filename)) {
                attachment.domain = "MediaDomain";
                attachment.relativePath = std::move(*relative);
            }
        }
        attachment.name = text(rows, 1).value_or("");
        if (attachment.name.empty() && filename)
            attachment.name = filename->substr(filename->find_last_of('/') + 1);
        attachment.mimeType = text(rows, 2).value_or("");
        attachment.date = messageDate(rows, 3);
        attachments.push_back(std::move(attachment));
    }
    warnIfStopped(status, "attachments");
    return attachments;
}

std::vector<Reaction> SmsConversations::reactionsOn(std::string_view guid,
                                                    std::size_t conversation) {
    std::vector<Reaction> shown;
    // Most databases' messages have none: no GUID need be hashed then.
    if (reactionsByTarget_.empty()) return shown;
    auto found = reactionsByTarget_.find(guid);
    if (found == reactionsByTarget_.end()) return shown;
    std::vector<PendingReaction>& pending = found->second;
    std::stable_sort(
        pending.begin(), pending.end(),
        [](const PendingReaction& a, const PendingReaction& b) { return a.sortDate < b.sortDate; });
    // The latest state of each sender, in the order they first reacted.
    std::vector<std::optional<Reaction>> bySender;
    std::map<std::size_t, std::size_t> slotOfSender;
    const Entry& entry = entries_[conversation];
    for (const PendingReaction& reaction : pending) {
        std::size_t sender = fromOwner;
        if (!reaction.fromMe) {
            auto participant = entry.participantByHandle.find(reaction.handle);
            if (participant == entry.participantByHandle.end()) continue;
            sender = participant->second;
        }
        auto [slot, added] = slotOfSender.try_emplace(sender, bySender.size());
        if (added) bySender.emplace_back();
        const std::int64_t kind = *reactionKindOf(reaction.type);
        std::optional<Reaction>& state = bySender[slot->second];
        if (reaction.type >= reactionRemoved) {
            if (state && state->kind == reactionKinds[kind].kind) state.reset();
            continue;
        }
        state = Reaction{sender, reactionKinds[kind].kind,
                         reaction.emoji.empty() ? reactionKinds[kind].emoji : reaction.emoji};
    }
    for (auto& state : bySender)
        if (state) shown.push_back(std::move(*state));
    return shown;
}

std::string SmsConversations::eventOf(sqlite3_stmt* row, std::size_t conversation,
                                      const std::string& who) {
    const std::int64_t item = sqlite3_column_int64(row, 6);
    const std::int64_t action = sqlite3_column_int64(row, 7);
    auto other = handleAt(row, 9);
    std::string whom = "someone";
    if (other)
        whom = shownName(outlines_[conversation].participants[participantOf(conversation, *other)]);
    switch (item) {
        case 1:
            return who + (action == 1 ? " removed " : " added ") + whom;
        case 2:
            if (auto title = text(row, 8); title && !title->empty())
                return who + " named the conversation \xE2\x80\x9C" + *title + "\xE2\x80\x9D";
            return who + " removed the name of the conversation";
        case 3:
            if (action == 1) return who + " changed the group photo";
            if (action == 2) return who + " removed the group photo";
            return who + " left the conversation";
        default:
            return who + ": conversation event " + std::to_string(item);
    }
}

SmsConversations::RowRead SmsConversations::rowAt(sqlite3_stmt* row, std::size_t index,
                                                  bool& piecesWhole) {
    RowRead read;
    Message& message = read.message;
    const std::int64_t rowid = sqlite3_column_int64(row, 15);
    message.date = messageDate(row, 5);
    message.fromMe = sqlite3_column_int64(row, 4) != 0;
    auto handle = handleAt(row, 3);
    if (!message.fromMe && handle && !handle->empty())
        message.sender = participantOf(index, *handle);
    message.text = text(row, 1);
    if (!message.text || message.text->empty()) message.text = typedstreamText(blobColumn(row, 2));
    message.text = withoutAttachmentMarks(std::move(message.text));
    message.edited = messageDate(row, 11).has_value();
    if (!message.edited && sqlite3_column_type(row, 13) == SQLITE_BLOB)
        message.edited = PropertyList::fromData(blobColumn(row, 13))["ec"].isPresent();
    message.unsent = messageDate(row, 12).has_value();
    if (message.unsent) message.text.reset();
    if (sqlite3_column_int64(row, 6) != 0) {
        const std::string who = message.fromMe ? owner_
                                : message.sender == fromOwner
                                    ? std::string("Someone")
                                    : shownName(outlines_[index].participants[message.sender]);
        message.event = eventOf(row, index, who);
    }
    read.replyGuid = text(row, 10);
    const auto guid = utf8Text(textColumn(row, 0));
    const bool attachments = sqlite3_column_int64(row, 14) != 0;
    if (attachments) message.attachments = attachmentsOf(rowid);
    if (pieces_) {
        MessagePieces::Parts parts = pieces_->of(rowid, piecesWhole);
        if (!message.text && !message.unsent) message.text = std::move(parts.text);
        for (MessageAttachment& attachment : parts.attachments) {
            attachment.date = message.date;
            message.attachments.push_back(std::move(attachment));
        }
    }
    if (guid) {
        message.reactions = reactionsOn(*guid, index);
        if (replies_) read.guid = std::string(*guid);
    }
    return read;
}

// The conversation's messages read with one statement, each put where the first pass placed
// it; the chat's rows that belong to another conversation or are reactions are passed over.
bool SmsConversations::readChatRows(std::size_t index, std::vector<std::optional<RowRead>>& rows,
                                    bool& piecesWhole) {
    const Entry& entry = entries_[index];
    std::vector<std::pair<std::int64_t, std::size_t>> places;
    places.reserve(entry.messages.size());
    for (std::size_t at = 0; at < entry.messages.size(); ++at)
        places.emplace_back(entry.messages[at].rowid, at);
    std::sort(places.begin(), places.end());
    sqlite3_stmt* row = chatRows_.get();
    sqlite3_reset(row);
    sqlite3_bind_int64(row, 1, *entry.chat);
    auto place = places.begin();
    int status = SQLITE_DONE;
    while (place != places.end() && (status = sqlite3_step(row)) == SQLITE_ROW) {
        const std::int64_t rowid = sqlite3_column_int64(row, 15);
        while (place != places.end() && place->first < rowid) ++place;
        if (place != places.end() && place->first == rowid)
            rows[(place++)->second] = rowAt(row, index, piecesWhole);
    }
    return place == places.end() || status == SQLITE_DONE;
}

Result<Conversation> SmsConversations::read(std::size_t index) {
    if (index >= outlines_.size())
        return Error{"Could not read conversation", std::to_string(index), "there is no such one"};
    const Entry& entry = entries_[index];
    std::vector<std::optional<RowRead>> rows(entry.messages.size());
    bool damaged = false;
    bool piecesWhole = true;
    if (entry.chat && chatRows_) {
        damaged = !readChatRows(index, rows, piecesWhole);
    } else {
        sqlite3_stmt* row = messageRow_.get();
        for (std::size_t at = 0; at < entry.messages.size(); ++at) {
            sqlite3_reset(row);
            sqlite3_bind_int64(row, 1, entry.messages[at].rowid);
            if (sqlite3_step(row) == SQLITE_ROW) rows[at] = rowAt(row, index, piecesWhole);
        }
    }
    Conversation conversation;
    conversation.messages.reserve(rows.size());
    // Replies point at their target's GUID.
    std::vector<std::optional<std::string>> replyGuids;
    std::unordered_map<std::string, std::size_t, StringHash, std::equal_to<>> indexByGuid;
    for (std::optional<RowRead>& read : rows) {
        if (!read) {
            damaged = true;
            continue;
        }
        if (read->guid)
            indexByGuid.try_emplace(std::move(*read->guid), conversation.messages.size());
        replyGuids.push_back(std::move(read->replyGuid));
        conversation.messages.push_back(std::move(read->message));
    }
    for (std::size_t i = 0; i < conversation.messages.size(); ++i) {
        if (!replyGuids[i]) continue;
        auto target = indexByGuid.find(*replyGuids[i]);
        if (target != indexByGuid.end() && target->second != i)
            conversation.messages[i].replyTo = target->second;
    }
    if (!piecesWhole)
        warnings_.push_back("Some parts of the messages of \"" + outlines_[index].title +
                            "\" could not be read from sms.db; the rest were exported.");
    if (damaged)
        warnings_.push_back("Some messages of \"" + outlines_[index].title +
                            "\" could not be read from sms.db (" + sqlite3_errmsg(db()) +
                            "); the rest were exported.");
    conversation.outline = outlines_[index];
    return conversation;
}

}  // namespace

Result<std::unique_ptr<ConversationStore>> openSmsConversations(StoredDatabase stored,
                                                                ContactNames names,
                                                                std::string ownerName,
                                                                PartFiles partFiles) {
    auto store = std::make_unique<SmsConversations>(std::move(stored), std::move(names),
                                                    std::move(ownerName));
    if (auto failure = store->load(partFiles)) return *failure;
    return std::unique_ptr<ConversationStore>(std::move(store));
}

Result<ConversationCounts> countSmsConversations(sqlite3* database) {
    const ColumnNames m = columnsOf(database, "message");
    if (m.empty())
        return Error{"Could not count", std::string(smsDatabasePath), "it holds no message table"};
    const std::string messages = " FROM message m WHERE " + notReaction(m);
    const std::string handle = "ifnull(" + handleExpressionOf(database, m) + ", '')";
    // Conversations as the reader files them: every chat, then a conversation per handle (or,
    // in the oldest schemas, per group) for the messages of none.
    std::string conversations;
    if (hasTableWithColumns(database, "chat_message_join", {"chat_id", "message_id"}) &&
        !columnsOf(database, "chat").empty()) {
        conversations = "(SELECT count(*) FROM chat) + (SELECT count(DISTINCT " + handle + ")" +
                        messages +
                        " AND m.ROWID NOT IN (SELECT j.message_id FROM chat_message_join j JOIN "
                        "chat c ON c.ROWID = j.chat_id))";
    } else {
        const bool groups = m.contains("group_id") && !columnsOf(database, "msg_group").empty();
        std::string keys = "SELECT DISTINCT " +
                           (groups ? "CASE WHEN typeof(m.group_id) = 'integer' THEN 'g' || "
                                     "m.group_id ELSE 'h' || " +
                                         handle + " END"
                                   : "'h' || " + handle) +
                           messages;
        if (hasTableWithColumns(database, "group_member", {"group_id", "address"}))
            keys += " UNION SELECT 'g' || group_id FROM group_member WHERE address IS NOT NULL";
        conversations = "(SELECT count(*) FROM (" + keys + "))";
    }
    auto counted =
        prepare(database, "SELECT " + conversations + ", (SELECT count(*)" + messages + ")");
    if (!counted) return counted.error();
    if (sqlite3_step(counted->get()) != SQLITE_ROW)
        return sqliteError(database, "Could not count the messages of sms.db");
    return ConversationCounts{static_cast<std::size_t>(sqlite3_column_int64(counted->get(), 0)),
                              static_cast<std::size_t>(sqlite3_column_int64(counted->get(), 1))};
}

Result<std::unique_ptr<ConversationStore>> openBackupSmsConversations(
    const std::string& deviceDirectory, const ApplicationMap& applications,
    const UnlockedKeybag* keybag, std::string ownerName) {
    auto stored =
        openStoredDatabaseAt(deviceDirectory, applications, smsDomain, smsDatabasePath, keybag);
    if (!stored) return stored.error();
    // Without an address book people are shown by their numbers and addresses.
    auto names = readContactNames(deviceDirectory, applications, keybag);
    return openSmsConversations(std::move(*stored), names ? std::move(*names) : ContactNames{},
                                std::move(ownerName), [&applications] {
                                    return StoredFileIndex(applications)
                                        .relativePathsBelow("MediaDomain", messagePartsFolder);
                                });
}

}  // namespace salvora
