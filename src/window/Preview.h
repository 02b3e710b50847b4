#pragma once

// What the preview pane shows of a file's start: an image Qt decodes, text, a property list as
// XML text, a database's tables with their row counts (the people of the address book and the
// calls of the call history instead of theirs), or else the size and the first bytes in
// hexadecimal.
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"
#include "recovery/FileStart.h"
#include "sqlite/TableSizes.h"

namespace salvora {

// How much of a file a preview reads: enough for photos and most databases. A database of a
// plain backup is read where it lies, whatever its size.
inline constexpr std::size_t PreviewLimit = std::size_t{16} << 20;

struct Preview {
    enum class Kind { Image, Text, Tables, Bytes };
    Kind kind = Kind::Bytes;
    QString summary;  // what it is and its size
    QImage image;
    QString text;  // the text, the property list, or the hex view
    std::vector<SqliteTableSize> tables;
};

// `size`: the recorded size where the catalogue has one. A database's tables come from
// readPreview, which opens it as SQLite sees it.
Preview previewOf(FileStart start, std::optional<std::uint64_t> size);

// The file a preview reads, and what keeps it readable off the event thread: its record shares
// the ownership of its application, whatever the window chooses meanwhile.
struct PreviewSource {
    std::string deviceDirectory;
    std::shared_ptr<const FileRecord> file;
    std::shared_ptr<const FileRecord> wal;         // the database's "-wal", when there is one
    std::shared_ptr<const UnlockedKeybag> keybag;  // null for a plain backup
};

// Reads the file's start as a save reads it and makes its preview, a database's tables with
// its "-wal" applied; or why the file can't be read.
Result<Preview> readPreview(const PreviewSource& source);

}  // namespace salvora
