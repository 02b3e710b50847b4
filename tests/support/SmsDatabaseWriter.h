#pragma once

// Messages' "Library/SMS/sms.db" of each generation of its schema, with the example
// conversations the tests share, and the attachments' files in MediaDomain. Files go in
// through the backup writer a test chooses, as `addFile(domain, path, contents, lastModified)`.
//
// The example, in the generations with chats (dates from 2023-11-14 22:13:20 UTC, a minute
// apart, in ROWID order):
// - chat 1 with "+491511234567" (iMessage, no display name), 7 messages: "Hello" (theirs),
//   "Hi there" (mine; only in attributedBody from iOS 16), "Reply to hello" (theirs, a reply to
//   "Hello" from iOS 14), "Edited text" (mine, edited from iOS 16), an unsent one (theirs,
//   from iOS 16; before, its text is "Unsent text"), a photo present in the backup (mine, text
//   only U+FFFC) and a voice memo it lacks (theirs). Reactions, which are no messages: they
//   love "Hi there"; I laugh at "Hello"; they like "Edited text" and take it away; from iOS 16
//   they react to the photo with "🎉".
// - chat 2, the group "Trip" with "+491511234567", "ada@example.com" and "+15550001111"
//   (iMessage), 4 rows: I name it "Trip", I add "+15550001111", "Hi all" (Ada), "Hey"
//   (+15550001111).
// - "Orphan" from "+15550001111", in no chat.
// With WalWithLog the photo and the voice memo (and their reactions) are only in the "-wal".
//
// The oldest generations keep messages of their own: grouped, "+491511234567" with "Hello"
// (theirs) and "Hi there" (mine) in group 1, "From Ada" (ada@example.com) in group 2 and an MMS
// of hers in `msg_pieces`: the words "Picture from Ada", the photo "IMG_0002.jpg" the backup
// holds in "Library/SMS/Parts/" and "IMG_0003.jpg" it lacks; with only a message table, the
// first three rows grouped by address.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "support/WalDatabase.h"

namespace salvora::test {

enum class SmsGeneration {
    MessagesOnly,  // a message table and nothing else
    Grouped,       // iOS 3-4: message with address and flags, msg_group, group_member, msg_pieces
    Seconds,       // iOS 5-10: chats and handles, dates in seconds since 2001
    Nanoseconds,   // iOS 11-13: dates in nanoseconds
    AttributedBodies,  // iOS 16 on: replies, attributedBody, edits, unsent, emoji reactions
};

// Seconds since 1970 of the first message of the example.
inline constexpr std::int64_t firstSmsDate = 1'700'000'000;

// The typedstream archive of an NSMutableAttributedString holding `text`, as attributedBody
// keeps it.
std::string typedstreamOf(std::string_view text);

// The empty tables of a generation with chats (Seconds on), for databases filled otherwise.
std::string smsTablesSql(SmsGeneration generation);

DatabaseFiles smsDatabaseFiles(SmsGeneration generation, JournalMode journal);

using MessagesFileAdder =
    std::function<void(const std::string& domain, const std::string& path,
                       const std::string& contents, std::uint32_t lastModified)>;

// Adds the present attachment to MediaDomain, then HomeDomain's "Library/SMS/sms.db" and its
// "-wal" when there is one.
void writeMessages(SmsGeneration generation, JournalMode journal, const MessagesFileAdder& addFile);

}  // namespace salvora::test
