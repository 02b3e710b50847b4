#include "bench/DeviceInfoPlist.h"

#include <array>
#include <cstring>

#include "bench/Random.h"
#include "support/PlistValue.h"

namespace salvora::bench {
namespace {

using test::PlistValue;

std::vector<std::byte> randomBytes(Random& random, std::size_t size,
                                   std::span<const unsigned char> head = {}) {
    std::vector<std::byte> bytes(size);
    for (std::size_t at = 0; at + 8 <= size; at += 8) {
        const std::uint64_t word = random.next();
        std::memcpy(bytes.data() + at, &word, sizeof word);
    }
    std::memcpy(bytes.data(), head.data(), std::min(head.size(), size));
    return bytes;
}

// The store's description of an application: its name among some forty other keys.
PlistValue storeMetadata(Random& random, const std::string& identifier) {
    PlistValue metadata = PlistValue::dictionary(
        {{"itemName", PlistValue::string(storeName(identifier))},
         {"softwareVersionBundleId", PlistValue::string(identifier)},
         {"itemId", PlistValue::integer(300000000 + random.below(900000000))}});
    for (int key = 0; key < 40; ++key)
        metadata.set("key" + std::to_string(key),
                     PlistValue::string(std::string(20 + random.below(80), 'x')));
    return metadata;
}

}  // namespace

void writeDeviceInfoPlist(const std::string& folder, const BackupPlan& plan,
                          const std::string& deviceName) {
    constexpr std::array<unsigned char, 8> pngSignature{0x89, 'P',  'N',  'G',
                                                        '\r', '\n', 0x1A, '\n'};
    Random random(plan.seed + 1);
    PlistValue applications = PlistValue::dictionary();
    PlistValue installed = PlistValue::array();
    for (const std::string& identifier : applicationIdentifiers(plan)) {
        const PlistValue metadata = storeMetadata(random, identifier);
        applications.set(
            identifier,
            PlistValue::dictionary(
                {{"iTunesMetadata", PlistValue::data(metadata.encode(test::PlistFormat::Binary))},
                 {"ApplicationSINF", PlistValue::data(randomBytes(random, 3000))},
                 {"PlaceholderIcon", PlistValue::data(randomBytes(
                                         random, random.between(12000, 28000), pngSignature))}}));
        installed.append(PlistValue::string(identifier));
    }
    PlistValue::dictionary({{"Device Name", PlistValue::string(deviceName)},
                            {"Applications", applications},
                            {"Installed Applications", installed}})
        .write(folder + "/Info.plist", test::PlistFormat::Xml);
}

}  // namespace salvora::bench
