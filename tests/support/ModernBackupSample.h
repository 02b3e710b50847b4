#pragma once

// A modern backup with the domains a real iOS 14 backup holds (WhatsApp's app, group and
// extension containers, Chrome's, Apple's groups, system containers, named domains), one small
// file in each, in either modern layout; and an Info.plist naming the store's applications.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "support/BackupWriter.h"

namespace salvora::test {

enum class ModernLayout { ManifestDb, UnindexedDatabase };

struct SampleFile {
    std::string domain;
    std::string path;
    std::string contents;
};

const std::vector<SampleFile>& modernSampleFiles();

void writeModernSample(BackupWriter& backup, ModernLayout layout);

// An 8 x 8 PNG image.
std::vector<std::byte> samplePngIcon();

// Info.plist with the device name and, under "Applications", WhatsApp's store name
// ("WhatsApp Messenger") and Chrome's ("Google Chrome") with the PNG icon.
void writeApplicationsInfoPlist(const std::string& folder,
                                const std::optional<std::string>& deviceName);

}  // namespace salvora::test
