#pragma once

// What a Manifest.db row stands for. Its flags say it for nearly every row: 1 a regular file,
// 2 a folder, 4 a link. A row with any other flags (0, 3, 8, NULL, a text…) is classed by the
// Mode of its archived file record, the device's st_mode, so that a regular file among such
// rows is listed and saved rather than dropped.
#include <cstdint>
#include <optional>

namespace salvora {

enum class ManifestDbItem { RegularFile, Folder, Link, Unknown };

// The item the flags name, compared as numbers; Unknown for any other number and for a value
// that is none (NULL, a text, a blob).
ManifestDbItem itemOfFlags(std::optional<double> flags);

// Whether a row so flagged may be a regular file: it is one, or its flags say nothing.
inline bool mayBeRegularFile(ManifestDbItem flagged) {
    return flagged == ManifestDbItem::RegularFile || flagged == ManifestDbItem::Unknown;
}

// The item the file-type bits (S_IFMT) of the Mode name; Unknown without a Mode.
ManifestDbItem itemOfMode(std::optional<std::uint64_t> mode);

}  // namespace salvora
