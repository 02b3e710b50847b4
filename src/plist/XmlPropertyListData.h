#pragma once

// Lets libplist decode only the data values a reader wants from a large XML property list:
// a backup's Info.plist holds megabytes of icons and other data in base64, and decoding them
// all costs more than what is wanted from it.
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace salvora {

// The XML property list with the text of every data value emptied ("<data></data>") except
// the values of the given keys; everything else stays as it was. Absent when the bytes are no
// XML (a binary list is read as it stands).
std::optional<std::string> keepingOnlyDataOf(std::span<const std::byte> bytes,
                                             std::initializer_list<std::string_view> keys);

}  // namespace salvora
