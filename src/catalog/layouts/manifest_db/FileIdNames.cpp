#include "catalog/layouts/manifest_db/FileIdNames.h"

#include "catalog/model/HexName.h"

namespace salvora {
namespace {

// The characters a fileID may hold: letters, digits, "-" and "_". Looked up, not compared: a
// million hexadecimal names mix digits and letters at random, and branching on each character
// costs more than the rest of the row.
constexpr std::array<bool, 256> fileIdCharacters = [] {
    std::array<bool, 256> allowed{};
    for (unsigned char c = 0; c < 128; ++c)
        allowed[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_';
    return allowed;
}();

// No longer than a file name can be.
constexpr std::size_t maxFileIdSize = 255;

// Nothing in such a fileID can lead out of the folder.
bool isSafeFileId(std::string_view fileId) {
    if (fileId.size() < 2 || fileId.size() > maxFileIdSize) return false;
    bool safe = true;
    for (char c : fileId) safe &= fileIdCharacters[static_cast<unsigned char>(c)];
    return safe;
}

}  // namespace

std::optional<StoredName> FileIdNames::nameOf(std::optional<std::string_view> fileId) {
    if (!fileId) return std::nullopt;
    if (readHexName(*fileId, key_)) return StoredName::key(key_, StoredName::Form::ShardedKey);
    if (!isSafeFileId(*fileId)) return std::nullopt;
    spelled_.assign(fileId->substr(0, 2)).append(1, '/').append(*fileId);
    return StoredName::text(spelled_);
}

}  // namespace salvora
