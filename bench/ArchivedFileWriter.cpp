#include "bench/ArchivedFileWriter.h"

#include <initializer_list>
#include <utility>

#include "support/ByteWriter.h"

namespace salvora::bench {
namespace {

// A binary property list of fewer than 256 objects, written object by object; each call gives
// the new object's number, which containers written later refer to.
class BinaryPlist {
  public:
    BinaryPlist() { bytes_.text("bplist00"); }

    std::uint8_t integer(std::uint64_t value) {
        const std::uint8_t number = begin();
        if (value <= 0xFF) {
            bytes_.uint8(0x10).uint8(static_cast<std::uint8_t>(value));
        } else if (value <= 0xFFFF) {
            bytes_.uint8(0x11).uint16(static_cast<std::uint16_t>(value));
        } else if (value <= 0xFFFFFFFF) {
            bytes_.uint8(0x12).uint32(static_cast<std::uint32_t>(value));
        } else {
            bytes_.uint8(0x13).uint64(value);
        }
        return number;
    }

    std::uint8_t string(std::string_view ascii) {
        const std::uint8_t number = begin();
        marker(0x50, ascii.size());
        bytes_.text(ascii);
        return number;
    }

    std::uint8_t uid(std::uint8_t value) {
        const std::uint8_t number = begin();
        bytes_.uint8(0x80).uint8(value);
        return number;
    }

    std::uint8_t array(std::initializer_list<std::uint8_t> items) {
        const std::uint8_t number = begin();
        marker(0xA0, items.size());
        for (std::uint8_t item : items) bytes_.uint8(item);
        return number;
    }

    std::uint8_t dictionary(
        std::initializer_list<std::pair<std::string_view, std::uint8_t>> entries) {
        std::vector<std::uint8_t> keys;
        for (const auto& entry : entries) keys.push_back(string(entry.first));
        const std::uint8_t number = begin();
        marker(0xD0, entries.size());
        for (std::uint8_t key : keys) bytes_.uint8(key);
        for (const auto& entry : entries) bytes_.uint8(entry.second);
        return number;
    }

    // The offset table and the trailer, with `top` as the root object.
    std::vector<std::byte> finish(std::uint8_t top) {
        const std::uint64_t tableOffset = bytes_.size();
        const std::size_t offsetSize = tableOffset <= 0xFF ? 1 : tableOffset <= 0xFFFF ? 2 : 4;
        for (std::size_t offset : offsets_) bytes_.bigEndian(offset, offsetSize);
        for (int unused = 0; unused < 6; ++unused) bytes_.uint8(0);
        bytes_.uint8(static_cast<std::uint8_t>(offsetSize)).uint8(1);
        bytes_.uint64(offsets_.size()).uint64(top).uint64(tableOffset);
        return bytes_.take();
    }

  private:
    std::uint8_t begin() {
        offsets_.push_back(bytes_.size());
        return static_cast<std::uint8_t>(offsets_.size() - 1);
    }

    // A type nibble with a count; counts from 15 up follow as an integer.
    void marker(std::uint8_t type, std::size_t count) {
        if (count < 15) {
            bytes_.uint8(static_cast<std::uint8_t>(type | count));
            return;
        }
        bytes_.uint8(type | 0x0F);
        if (count <= 0xFF) {
            bytes_.uint8(0x10).uint8(static_cast<std::uint8_t>(count));
        } else {
            bytes_.uint8(0x11).uint16(static_cast<std::uint16_t>(count));
        }
    }

    test::ByteWriter bytes_;
    std::vector<std::size_t> offsets_;
};

}  // namespace

std::vector<std::byte> archivedFileBlob(const ArchivedFile& file) {
    // $objects: 0 "$null", 1 the MBFile, 2 its path, 3 the MBFile class.
    BinaryPlist plist;
    const std::uint8_t null = plist.string("$null");
    const std::uint8_t mbFile =
        plist.dictionary({{"$class", plist.uid(3)},
                          {"RelativePath", plist.uid(2)},
                          {"Mode", plist.integer(file.mode)},
                          {"Flags", plist.integer(0)},
                          {"InodeNumber", plist.integer(file.inode)},
                          {"UserID", plist.integer(501)},
                          {"GroupID", plist.integer(501)},
                          {"Size", plist.integer(file.size)},
                          {"LastModified", plist.integer(file.lastModified)},
                          {"LastStatusChange", plist.integer(file.lastModified)},
                          {"Birth", plist.integer(file.lastModified)},
                          {"ProtectionClass", plist.integer(3)}});
    const std::uint8_t path = plist.string(file.relativePath);
    const std::uint8_t mbFileClass = plist.dictionary(
        {{"$classname", plist.string("MBFile")},
         {"$classes", plist.array({plist.string("MBFile"), plist.string("NSObject")})}});
    const std::uint8_t objects = plist.array({null, mbFile, path, mbFileClass});
    const std::uint8_t top = plist.dictionary({{"root", plist.uid(1)}});
    const std::uint8_t root = plist.dictionary({{"$version", plist.integer(100000)},
                                                {"$archiver", plist.string("NSKeyedArchiver")},
                                                {"$top", top},
                                                {"$objects", objects}});
    return plist.finish(root);
}

}  // namespace salvora::bench
