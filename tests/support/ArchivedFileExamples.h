#pragma once

// An MBFile archive with every value the catalogue reads, for the tests of reading it.
#include <cstddef>
#include <vector>

#include "support/ArchivedFileBlob.h"

namespace salvora::test {

inline ArchivedFileFields fullArchivedFileFields() {
    ArchivedFileFields fields;
    fields.relativePath = "Library/SMS/sms.db";
    fields.size = 4096;
    fields.lastModified = 1500000000;
    fields.protectionClass = 3;
    fields.encryptionKey = std::vector<std::byte>(44, std::byte{0x7E});
    return fields;
}

}  // namespace salvora::test
