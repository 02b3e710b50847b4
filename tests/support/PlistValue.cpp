#include "support/PlistValue.h"

#include <plist/plist.h>

#include <cstdlib>

#include "support/TemporaryFolder.h"

namespace salvora::test {
namespace {
plist_t node(void* pointer) { return static_cast<plist_t>(pointer); }
}  // namespace

PlistValue PlistValue::string(const std::string& text) {
    return PlistValue(plist_new_string(text.c_str()));
}

PlistValue PlistValue::data(std::span<const std::byte> bytes) {
    return PlistValue(plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

PlistValue PlistValue::boolean(bool value) { return PlistValue(plist_new_bool(value ? 1 : 0)); }
PlistValue PlistValue::integer(std::uint64_t value) { return PlistValue(plist_new_uint(value)); }
PlistValue PlistValue::uid(std::uint64_t value) { return PlistValue(plist_new_uid(value)); }

PlistValue PlistValue::date(double secondsSince2001) {
    auto seconds = static_cast<std::int32_t>(secondsSince2001);
    auto micro = static_cast<std::int32_t>((secondsSince2001 - seconds) * 1e6);
    return PlistValue(plist_new_date(seconds, micro));
}

PlistValue PlistValue::dictionary(
    std::initializer_list<std::pair<std::string, PlistValue>> entries) {
    PlistValue result(plist_new_dict());
    for (const auto& [key, value] : entries) result.set(key, value);
    return result;
}

PlistValue PlistValue::array(std::initializer_list<PlistValue> items) {
    PlistValue result(plist_new_array());
    for (const auto& item : items) result.append(item);
    return result;
}

PlistValue::PlistValue(const PlistValue& other) : node_(plist_copy(node(other.node_))) {}

PlistValue& PlistValue::operator=(const PlistValue& other) {
    if (this != &other) {
        plist_free(node(node_));
        node_ = plist_copy(node(other.node_));
    }
    return *this;
}

PlistValue::~PlistValue() {
    if (node_ != nullptr) plist_free(node(node_));
}

PlistValue& PlistValue::set(const std::string& key, const PlistValue& value) {
    plist_dict_set_item(node(node_), key.c_str(), plist_copy(node(value.node_)));
    return *this;
}

PlistValue& PlistValue::append(const PlistValue& value) {
    plist_array_append_item(node(node_), plist_copy(node(value.node_)));
    return *this;
}

std::vector<std::byte> PlistValue::encode(PlistFormat format) const {
    char* text = nullptr;
    std::uint32_t length = 0;
    if (format == PlistFormat::Xml) {
        plist_to_xml(node(node_), &text, &length);
    } else {
        plist_to_bin(node(node_), &text, &length);
    }
    auto first = reinterpret_cast<const std::byte*>(text);
    std::vector<std::byte> bytes(first, first + length);
    std::free(text);
    return bytes;
}

void PlistValue::write(const std::string& path, PlistFormat format) const {
    writeFile(path, encode(format));
}

}  // namespace salvora::test
