#include "support/ManifestDatabaseBytes.h"

#include <openssl/sha.h>

namespace salvora::test {

ManifestDatabaseBytes manifestDatabaseBytes(const std::vector<ManifestEntry>& entries) {
    ByteWriter index;
    ByteWriter database;
    index.text(indexMagic).uint32(static_cast<std::uint32_t>(entries.size()));
    database.text(databaseMagic);
    for (const ManifestEntry& entry : entries) {
        index.raw(entry.key)
            .uint32(static_cast<std::uint32_t>(database.size() - databaseMagic.size()))
            .uint16(entry.record.mode);
        appendDatabaseRecord(database, entry.record);
    }
    return {index.take(), database.take()};
}

std::vector<std::byte> unindexedDatabaseBytes(const std::vector<DatabaseRecord>& records) {
    ByteWriter database;
    database.text(databaseMagic);
    for (const DatabaseRecord& record : records) appendDatabaseRecord(database, record);
    return database.take();
}

void appendDatabaseRecord(ByteWriter& writer, const DatabaseRecord& record) {
    writer.manifestString(record.domain)
        .manifestString(record.path)
        .manifestString(record.linkTarget)
        .manifestString(record.dataHash)
        .manifestString(record.encryptionKey)
        .uint16(record.mode)
        .uint64(record.inode)
        .uint32(record.userId)
        .uint32(record.groupId)
        .uint32(record.lastModified)
        .uint32(record.lastStatusChange)
        .uint32(record.birth)
        .uint64(record.size)
        .uint8(record.protectionClass)
        .uint8(static_cast<std::uint8_t>(record.properties.size()));
    for (const auto& [name, value] : record.properties) {
        writer.manifestString(name).manifestString(value);
    }
}

std::vector<std::byte> sha1Digest(std::string_view bytes) {
    std::vector<std::byte> digest(SHA_DIGEST_LENGTH);
    SHA1(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
         reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

std::vector<std::byte> sha1Key(std::string_view domain, std::string_view path) {
    return sha1Digest(std::string(domain) + "-" + std::string(path));
}

std::string hexDigits(std::span<const std::byte> bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (std::byte b : bytes) {
        text += digits[std::to_integer<unsigned>(b) >> 4];
        text += digits[std::to_integer<unsigned>(b) & 0xF];
    }
    return text;
}

}  // namespace salvora::test
