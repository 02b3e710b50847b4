#pragma once

// WhatsApp's group container as a phone leaves it: "ChatStorage.sqlite" in WAL mode with the
// newest rows only in its "-wal", "CallHistory.sqlite", and the media files the chats name, some
// of them missing. Files go in through the backup writer a test chooses (plain or encrypted),
// as `addFile(relative path, contents)` of the container's domain.
#include <functional>
#include <string>

namespace salvora::test {

using ContainerFileAdder =
    std::function<void(const std::string& relativePath, const std::string& contents)>;

// The chats the tests share:
// - "Ada Lovelace" (4915112345678): a message of every kind (text, a reply, a photo with a
//   caption whose file lies below "Message/", a video never downloaded, a voice message, a
//   contact card, a location, a link, a document, a GIF, a sticker, a poll, a call, a message
//   deleted for everyone, one of an unknown kind, a photo whose path leads out of the
//   container), and two calls in CallHistory.sqlite;
// - "Family", a group: a system event, two members, one named only by the name she gave
//   herself ("Grace"), one with an identity without a number and a contact name ("Alan Turing"),
//   and the owner's reply, only in the "-wal";
// - status updates, one photo;
// - a second "Ada Lovelace" (4917000000001), chat and message only in the "-wal";
// - and a call with someone never written to (4915550000000).
// The tables of "ChatStorage.sqlite" the chats are read from, empty.
extern const char* const chatStorageSchema;

void writeWhatsAppContainer(const ContainerFileAdder& addFile);

// The bytes of the photo and voice message the backup holds.
inline constexpr const char* whatsAppPhotoBytes = "jpeg bytes";
inline constexpr const char* whatsAppVoiceBytes = "opus bytes";

}  // namespace salvora::test
