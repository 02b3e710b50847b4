#include "crypto/Keybag.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "foundation/ByteCursor.h"

namespace salvora {
namespace {

constexpr std::size_t TagSize = 4;
constexpr std::size_t LengthSize = 4;

struct Record {
    std::string_view tag;
    std::span<const std::byte> value;
    std::size_t offset;
};

Error keybagError(std::string reason) {
    return Error{"Could not read the keybag", "", std::move(reason)};
}

// A tag as a message can show it: anything but printable ASCII becomes '?'.
std::string printableTag(std::string_view tag) {
    std::string shown(tag);
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return c < ' ' || c > '~'; }, '?');
    return shown;
}

std::string describe(const Record& record) {
    return "The record \"" + printableTag(record.tag) + "\" at byte " +
           std::to_string(record.offset);
}

std::vector<std::byte> copyOf(std::span<const std::byte> bytes) {
    return {bytes.begin(), bytes.end()};
}

bool isClassTag(std::string_view tag) {
    return tag == "CLAS" || tag == "WRAP" || tag == "KTYP" || tag == "WPKY" || tag == "PBKY";
}

bool isIntegerTag(std::string_view tag) {
    return tag == "VERS" || tag == "TYPE" || tag == "WRAP" || tag == "ITER" || tag == "DPWT" ||
           tag == "DPIC" || tag == "CLAS" || tag == "KTYP";
}

// A class block being read: it ends at the next UUID or at the end of the keybag. (Outside
// the assembler, so that its default member initializers are complete where optional needs
// them.)
struct OpenClass {
    KeybagClass block;
    std::size_t offset = 0;
    bool numbered = false;
};

// Collects the records in order, routing each to the header or to the open class block.
class KeybagAssembler {
  public:
    Status take(const Record& record) {
        std::uint32_t integer = 0;
        if (isIntegerTag(record.tag)) {
            if (record.value.size() != 4)
                return keybagError(describe(record) + " holds " +
                                   std::to_string(record.value.size()) +
                                   " bytes instead of a 4-byte integer");
            integer = static_cast<std::uint32_t>(*ByteCursor(record.value).readBigEndian(4));
        }
        if (record.tag == "UUID") return takeUuid(record);
        if (openClass_ && isClassTag(record.tag)) {
            takeClassRecord(record, integer);
            return {};
        }
        takeHeaderRecord(record, integer);
        return {};
    }

    Result<Keybag> finish() {
        if (Status closed = closeClass(); !closed) return closed.error();
        if (!iterations_) return keybagError("The keybag has no ITER");
        if (!salt_) return keybagError("The keybag has no SALT");
        if (preSalt_ && !preIterations_) return keybagError("The keybag has a DPSL but no DPIC");
        keybag_.iterations = *iterations_;
        keybag_.salt = std::move(*salt_);
        if (preSalt_)
            keybag_.preDerivation = PasswordPreDerivation{preKind_, *preIterations_, *preSalt_};
        return std::move(keybag_);
    }

  private:
    // The keybag's own UUID comes first; every later one opens a class block.
    Status takeUuid(const Record& record) {
        if (!seenUuid_) {
            seenUuid_ = true;
            keybag_.uuid = copyOf(record.value);
            return {};
        }
        if (Status closed = closeClass(); !closed) return closed;
        openClass_.emplace();
        openClass_->block.uuid = copyOf(record.value);
        openClass_->offset = record.offset;
        return {};
    }

    void takeClassRecord(const Record& record, std::uint32_t integer) {
        KeybagClass& block = openClass_->block;
        if (record.tag == "CLAS") {
            block.protectionClass = integer;
            openClass_->numbered = true;
        } else if (record.tag == "WRAP") {
            block.wrap = integer;
        } else if (record.tag == "KTYP") {
            block.keyType = integer;
        } else if (record.tag == "WPKY") {
            block.wrappedKey = copyOf(record.value);
        } else {
            block.publicKey = copyOf(record.value);
        }
    }

    // Tags the header doesn't know are passed over, so newer keybags still read.
    void takeHeaderRecord(const Record& record, std::uint32_t integer) {
        const std::string_view tag = record.tag;
        if (tag == "VERS") keybag_.version = integer;
        if (tag == "TYPE") keybag_.type = integer;
        if (tag == "WRAP") keybag_.wrap = integer;
        if (tag == "ITER") iterations_ = integer;
        if (tag == "DPWT") preKind_ = integer;
        if (tag == "DPIC") preIterations_ = integer;
        if (tag == "HMCK") keybag_.hmacKey = copyOf(record.value);
        if (tag == "SALT") salt_ = copyOf(record.value);
        if (tag == "DPSL") preSalt_ = copyOf(record.value);
    }

    Status closeClass() {
        if (!openClass_) return {};
        OpenClass closing = std::move(*openClass_);
        openClass_.reset();
        const std::string where = "The class block at byte " + std::to_string(closing.offset);
        if (!closing.numbered) return keybagError(where + " has no CLAS");
        const std::uint32_t number = closing.block.protectionClass;
        if (!keybag_.classes.emplace(number, std::move(closing.block)).second)
            return keybagError(where + " repeats protection class " + std::to_string(number));
        return {};
    }

    Keybag keybag_;
    bool seenUuid_ = false;
    std::optional<OpenClass> openClass_;
    std::optional<std::uint32_t> iterations_;
    std::optional<std::vector<std::byte>> salt_;
    std::optional<std::uint32_t> preKind_;
    std::optional<std::uint32_t> preIterations_;
    std::optional<std::vector<std::byte>> preSalt_;
};

}  // namespace

Result<Keybag> parseKeybag(std::span<const std::byte> bytes) {
    if (bytes.empty()) return keybagError("The keybag is empty");
    KeybagAssembler assembler;
    ByteCursor cursor(bytes);
    while (cursor.remaining() > 0) {
        const std::size_t offset = cursor.position();
        if (cursor.remaining() < TagSize + LengthSize)
            return keybagError("The record at byte " + std::to_string(offset) + " is cut short");
        Record record{*cursor.readText(TagSize), {}, offset};
        const std::uint64_t length = *cursor.readBigEndian(LengthSize);
        auto value = cursor.readBytes(length);
        if (!value)
            return keybagError(describe(record) + " claims " + std::to_string(length) +
                               " bytes, but only " + std::to_string(cursor.remaining()) +
                               " remain");
        record.value = *value;
        if (Status taken = assembler.take(record); !taken) return taken.error();
    }
    return assembler.finish();
}

}  // namespace salvora
