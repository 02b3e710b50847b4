#pragma once

// The text of an NSAttributedString archived in Apple's old "typedstream" format, as Messages
// keeps a body in sms.db's `attributedBody` since iOS 16. Only the part that holds the string is
// read: the header, then the first NSString (or NSMutableString) object's characters. Every
// length is checked against what is left, so a crafted blob can't make it read past the buffer.
#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace salvora {

// The archived string's text as UTF-8; absent when the bytes are no typedstream, hold no
// string, or end before it does.
std::optional<std::string> typedstreamText(std::span<const std::byte> bytes);

}  // namespace salvora
