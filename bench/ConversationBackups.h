#pragma once

// Backups whose Messages, WhatsApp and address-book databases hold as much as a heavy user's
// phone: the tables of the test fixtures' schemas, filled by SQL a statement per table, so a
// million messages take seconds to write.
#include <cstddef>
#include <cstdint>
#include <string>

namespace salvora::bench {

// sms.db of iOS 11 to 13 (dates in nanoseconds): `messages` in `conversations`, one in ten a
// group of three, conversation sizes long-tailed. With attachments, every message whose ROWID
// is a multiple of messages / attachments has a photo stored in MediaDomain, their sizes adding
// up to `attachmentBytes`.
struct SmsPlan {
    std::size_t messages = 1'000'000;
    std::size_t conversations = 5'000;
    std::size_t attachments = 0;
    std::uint64_t attachmentBytes = 0;
};
void writeSmsBackup(const std::string& folder, const SmsPlan& plan);

// WhatsApp's ChatStorage.sqlite: `messages` text messages in `chats`, one in ten a group.
void writeWhatsAppBackup(const std::string& folder, std::size_t messages, std::size_t chats);

// AddressBook.sqlitedb with `contacts` people, each with two numbers and an e-mail, and
// AddressBookImages.sqlitedb with a photo of 4 to 16 KiB for each.
void writeContactsBackup(const std::string& folder, std::size_t contacts);

}  // namespace salvora::bench
