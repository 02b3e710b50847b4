#pragma once

// A modern backup with the domains of a real iOS 14 backup (WhatsApp's app, group and extension
// containers, Chrome's, Apple's groups, system containers, named domains), one file in each, and
// an Info.plist naming WhatsApp ("WhatsApp Messenger", with an icon that is no image) and Chrome
// ("Google Chrome", with an 8 x 8 PNG icon), the one's store metadata binary, the other's XML.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/BackupWriter.h"

namespace salvora::test {

enum class ModernLayout { ManifestDb, UnindexedDatabase };

// With `firstModified`, the files are dated from then on, a few days apart; else not at all.
void writeModernSample(BackupWriter& backup, ModernLayout layout, std::uint32_t firstModified = 0);
std::vector<std::byte> samplePngIcon();
// The "Applications" of that Info.plist: the store's names and icons.
PlistValue sampleStoreApplications();
void writeApplicationsInfoPlist(const std::string& folder,
                                const std::optional<std::string>& deviceName);

}  // namespace salvora::test
