#pragma once

// Builds property lists with libplist and writes them in XML or binary form, so tests read
// the same kind of files the sync service writes.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace salvora::test {

enum class PlistFormat { Xml, Binary };

class PlistValue {
  public:
    static PlistValue string(const std::string& text);
    static PlistValue data(std::span<const std::byte> bytes);
    static PlistValue boolean(bool value);
    static PlistValue integer(std::uint64_t value);
    static PlistValue uid(std::uint64_t value);
    static PlistValue date(double secondsSince2001);
    static PlistValue dictionary(
        std::initializer_list<std::pair<std::string, PlistValue>> entries = {});
    static PlistValue array(std::initializer_list<PlistValue> items = {});

    PlistValue(const PlistValue& other);
    PlistValue& operator=(const PlistValue& other);
    PlistValue(PlistValue&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}
    PlistValue& operator=(PlistValue&& other) noexcept {
        std::swap(node_, other.node_);
        return *this;
    }
    ~PlistValue();

    // Adds to a dictionary or an array.
    PlistValue& set(const std::string& key, const PlistValue& value);
    PlistValue& append(const PlistValue& value);

    std::vector<std::byte> encode(PlistFormat format) const;
    void write(const std::string& path, PlistFormat format) const;

  private:
    explicit PlistValue(void* node) : node_(node) {}
    void* node_;
};

}  // namespace salvora::test
