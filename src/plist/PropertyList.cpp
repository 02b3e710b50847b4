#include "plist/PropertyList.h"

#include <plist/plist.h>
#include <cstdlib>

#include <limits>

#include "foundation/FileReading.h"
#include "plist/PropertyListLimits.h"

namespace salvora {
namespace {

plist_t node(void* pointer) { return static_cast<plist_t>(pointer); }

bool hasType(void* pointer, plist_type type) {
    return pointer != nullptr && plist_get_node_type(node(pointer)) == type;
}

}  // namespace

PropertyList PropertyList::fromData(std::span<const std::byte> bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) return {};
    if (!isWithinPropertyListLimits(bytes)) return {};
    plist_t root = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::uint32_t>(bytes.size()), &root);
    if (root == nullptr) return {};
    return PropertyList(std::shared_ptr<void>(root, [](void* p) { plist_free(node(p)); }), root);
}

PropertyList PropertyList::fromFile(const std::string& path) {
    auto contents = readFile(path);
    if (!contents) return {};
    return fromData(contents->bytes());
}

PropertyList PropertyList::dictionaryFromFile(const std::string& path) {
    PropertyList list = fromFile(path);
    return list.kind() == Kind::Dictionary ? list : PropertyList();
}

std::optional<std::string> PropertyList::xmlText() const {
    if (node_ == nullptr) return std::nullopt;
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(node(node_), &xml, &length);
    if (xml == nullptr) return std::nullopt;
    std::string text(xml, length);
    std::free(xml);  // this libplist leaves the text to the C heap
    return text;
}

PropertyList::Kind PropertyList::kind() const {
    if (node_ == nullptr) return Kind::Absent;
    switch (plist_get_node_type(node(node_))) {
        case PLIST_DICT:
            return Kind::Dictionary;
        case PLIST_ARRAY:
            return Kind::Array;
        case PLIST_STRING:
            return Kind::String;
        case PLIST_DATA:
            return Kind::Data;
        case PLIST_BOOLEAN:
            return Kind::Boolean;
        case PLIST_UINT:
            return Kind::Integer;
        case PLIST_REAL:
            return Kind::Real;
        case PLIST_DATE:
            return Kind::Date;
        case PLIST_UID:
            return Kind::Uid;
        default:
            return Kind::Other;
    }
}

PropertyList PropertyList::operator[](std::string_view key) const {
    if (!hasType(node_, PLIST_DICT)) return {};
    std::string terminated(key);
    plist_t item = plist_dict_get_item(node(node_), terminated.c_str());
    return item == nullptr ? PropertyList() : PropertyList(document_, item);
}

PropertyList PropertyList::at(std::size_t index) const {
    if (!hasType(node_, PLIST_ARRAY) || index >= count()) return {};
    plist_t item = plist_array_get_item(node(node_), static_cast<std::uint32_t>(index));
    return item == nullptr ? PropertyList() : PropertyList(document_, item);
}

std::size_t PropertyList::count() const {
    if (hasType(node_, PLIST_DICT)) return plist_dict_get_size(node(node_));
    if (hasType(node_, PLIST_ARRAY)) return plist_array_get_size(node(node_));
    return 0;
}

std::vector<std::string> PropertyList::keys() const {
    std::vector<std::string> result;
    if (!hasType(node_, PLIST_DICT)) return result;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node(node_), &iterator);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node(node_), iterator, &key, &value);
        if (key == nullptr) break;
        result.emplace_back(key);
        std::free(key);
    }
    std::free(iterator);
    return result;
}

std::optional<std::string> PropertyList::string() const {
    if (!hasType(node_, PLIST_STRING)) return std::nullopt;
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node(node_), &length);
    if (text == nullptr) return std::string();
    return std::string(text, length);
}

std::optional<std::span<const std::byte>> PropertyList::data() const {
    if (!hasType(node_, PLIST_DATA)) return std::nullopt;
    std::uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node(node_), &length);
    if (bytes == nullptr) return std::span<const std::byte>();
    return std::span<const std::byte>(reinterpret_cast<const std::byte*>(bytes), length);
}

std::optional<bool> PropertyList::boolean() const {
    if (!hasType(node_, PLIST_BOOLEAN)) return std::nullopt;
    std::uint8_t value = 0;
    plist_get_bool_val(node(node_), &value);
    return value != 0;
}

std::optional<std::uint64_t> PropertyList::unsignedInteger() const {
    if (!hasType(node_, PLIST_UINT)) return std::nullopt;
    std::uint64_t value = 0;
    plist_get_uint_val(node(node_), &value);
    return value;
}

std::optional<double> PropertyList::real() const {
    if (!hasType(node_, PLIST_REAL)) return std::nullopt;
    double value = 0;
    plist_get_real_val(node(node_), &value);
    return value;
}

std::optional<std::uint64_t> PropertyList::uid() const {
    if (!hasType(node_, PLIST_UID)) return std::nullopt;
    std::uint64_t value = 0;
    plist_get_uid_val(node(node_), &value);
    return value;
}

std::optional<double> PropertyList::date() const {
    if (!hasType(node_, PLIST_DATE)) return std::nullopt;
    std::int32_t seconds = 0;
    std::int32_t microseconds = 0;
    plist_get_date_val(node(node_), &seconds, &microseconds);
    return seconds + microseconds / 1e6;
}

}  // namespace salvora
