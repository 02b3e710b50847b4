#pragma once

// The names and folders an exported photo or video takes below the chosen folder.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace salvora {

// The name `name` takes with the extension of `otherName` ("IMG_0001.HEIC", "x/IMG_0001.MOV"
// give "IMG_0001.MOV"), with `suffix` after its stem (" (edited)").
std::string nameWithExtensionOf(std::string_view name, std::string_view otherName,
                                std::string_view suffix = "");

// The folder levels for a capture date (seconds since 1970) in the computer's time zone:
// {"2023", "07"}; {"Undated"} without a date.
std::vector<std::string> datedFolder(std::optional<std::int64_t> date);

}  // namespace salvora
