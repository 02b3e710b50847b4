#include "bench/LargeBackup.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "bench/ArchivedFileWriter.h"
#include "bench/DeviceInfoPlist.h"
#include "bench/Random.h"
#include "foundation/BackupFileNames.h"
#include "foundation/Path.h"
#include "support/ManifestDatabaseBytes.h"
#include "support/ManifestDbWriter.h"

namespace salvora::bench {
namespace {

using Key = std::array<std::byte, 20>;

Key keyOf(const BackupItem& item) {
    const std::vector<std::byte> digest = test::sha1Key(item.domain, item.path);
    Key key;
    std::copy(digest.begin(), digest.end(), key.begin());
    return key;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OutputFile = std::unique_ptr<std::FILE, FileCloser>;

OutputFile createFile(const std::string& path) {
    OutputFile file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("could not create " + path);
    return file;
}

void writeBytes(std::FILE* file, std::span<const std::byte> bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        throw std::runtime_error("could not write");
}

void closeFile(OutputFile file, const std::string& path) {
    if (std::fclose(file.release()) != 0) throw std::runtime_error("could not write " + path);
}

// "Manifest.mbdb" written record by record in the order the items come (domain by domain, as
// the device writes it), "Manifest.mbdx" at the end with its entries in key order.
class ManifestDatabaseStream {
  public:
    explicit ManifestDatabaseStream(const std::string& folder)
        : folder_(folder), database_(createFile(appendingPathComponent(folder, ManifestMbdbName))) {
        chunk_.text(test::databaseMagic);
    }

    void add(const BackupItem& item, const Key& key) {
        test::DatabaseRecord record;
        record.domain = std::string(item.domain);
        record.path = std::string(item.path);
        record.mode = item.isDirectory ? test::directoryMode : test::regularFileMode;
        if (!item.isDirectory)
            record.dataHash = std::string(reinterpret_cast<const char*>(key.data()), key.size());
        record.inode = entries_.size() + 1000;
        record.lastModified = record.lastStatusChange = record.birth = item.lastModified;
        record.size = item.size;
        record.protectionClass = 3;
        entries_.push_back(
            {key, static_cast<std::uint32_t>(written_ + chunk_.size() - test::databaseMagic.size()),
             record.mode});
        test::appendDatabaseRecord(chunk_, record);
        if (chunk_.size() >= (1 << 20)) flush();
    }

    void finish() {
        flush();
        closeFile(std::move(database_), appendingPathComponent(folder_, ManifestMbdbName));
        std::sort(entries_.begin(), entries_.end(),
                  [](const Entry& a, const Entry& b) { return a.key < b.key; });
        test::ByteWriter index;
        index.text(test::indexMagic).uint32(static_cast<std::uint32_t>(entries_.size()));
        for (const Entry& entry : entries_)
            index.raw(entry.key).uint32(entry.recordOffset).uint16(entry.mode);
        const std::string indexPath = appendingPathComponent(folder_, ManifestMbdxName);
        OutputFile file = createFile(indexPath);
        writeBytes(file.get(), index.bytes());
        closeFile(std::move(file), indexPath);
    }

  private:
    struct Entry {
        Key key;
        std::uint32_t recordOffset;
        std::uint16_t mode;
    };

    void flush() {
        writeBytes(database_.get(), chunk_.bytes());
        written_ += chunk_.size();
        chunk_ = test::ByteWriter();
    }

    std::string folder_;
    OutputFile database_;
    test::ByteWriter chunk_;
    std::size_t written_ = 0;
    std::vector<Entry> entries_;
};

// "Manifest.db", its rows in the order the items come, inserted a batch at a time.
class ManifestDbStream {
  public:
    explicit ManifestDbStream(const std::string& folder)
        : path_(appendingPathComponent(folder, ManifestDbName)) {}

    void add(const BackupItem& item, const Key& key) {
        ArchivedFile file;
        file.relativePath = item.path;
        file.size = item.size;
        file.lastModified = item.lastModified;
        file.mode = item.isDirectory ? test::directoryMode : test::regularFileMode;
        file.inode = rows_.size() + 1000;
        test::ManifestDbRow& row = rows_.emplace_back();
        row.fileID = test::hexDigits(key);
        row.domain = std::string(item.domain);
        row.relativePath = std::string(item.path);
        row.flags = item.isDirectory ? test::manifestDbDirectoryFlags : test::manifestDbFileFlags;
        row.file = archivedFileBlob(file);
        if (rows_.size() == 50'000) flush();
    }

    void finish() { flush(); }

  private:
    void flush() {
        if (!rows_.empty()) test::appendManifestDbRows(path_, rows_);
        rows_.clear();
    }

    std::string path_;
    std::vector<test::ManifestDbRow> rows_;
};

// The stored files, their contents slices of one block of random bytes.
class StoredFiles {
  public:
    StoredFiles(const std::string& folder, CatalogueLayout layout)
        : folder_(folder), layout_(layout), block_(1 << 20) {
        Random random(7);
        for (std::size_t i = 0; i + 8 <= block_.size(); i += 8) {
            const std::uint64_t word = random.next();
            std::memcpy(block_.data() + i, &word, sizeof word);
        }
    }

    void write(const Key& key, std::uint64_t size) {
        const std::string hex = test::hexDigits(key);
        std::string path = folder_ + "/";
        if (layout_ == CatalogueLayout::ManifestDb) {
            path += hex.substr(0, 2);
            std::filesystem::create_directories(path);
            path += "/";
        }
        path += hex;
        OutputFile file = createFile(path);
        for (std::uint64_t left = size; left > 0;) {
            const std::size_t piece = std::min<std::uint64_t>(left, block_.size());
            // Start each file somewhere else in the block, so no two files are alike.
            const std::size_t start = (written_ + left) % (block_.size() - piece + 1);
            writeBytes(file.get(), std::span(block_).subspan(start, piece));
            left -= piece;
        }
        closeFile(std::move(file), path);
        written_ += size;
    }

  private:
    std::string folder_;
    CatalogueLayout layout_;
    std::vector<std::byte> block_;
    std::uint64_t written_ = 0;
};

template <typename Catalogue>
WrittenBackup writeItems(const std::string& folder, const BackupPlan& plan,
                         CatalogueLayout layout) {
    Catalogue catalogue(folder);
    StoredFiles stored(folder, layout);
    WrittenBackup written;
    forEachItem(plan, [&](const BackupItem& item) {
        const Key key = keyOf(item);
        catalogue.add(item, key);
        ++(item.isDirectory ? written.folders : written.files);
        if (item.stored && !item.isDirectory) {
            stored.write(key, item.size);
            ++written.storedFiles;
            written.storedBytes += item.size;
        }
    });
    catalogue.finish();
    return written;
}

}  // namespace

WrittenBackup writeLargeBackup(const std::string& folder, const BackupPlan& plan,
                               CatalogueLayout layout, const std::string& deviceName) {
    std::filesystem::create_directories(folder);
    writeDeviceInfoPlist(folder, plan, deviceName);
    if (layout == CatalogueLayout::ManifestDatabase)
        return writeItems<ManifestDatabaseStream>(folder, plan, layout);
    return writeItems<ManifestDbStream>(folder, plan, layout);
}

}  // namespace salvora::bench
