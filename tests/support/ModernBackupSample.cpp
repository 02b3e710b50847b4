#include "support/ModernBackupSample.h"

#include <array>

#include "support/TemporaryFolder.h"

namespace salvora::test {
namespace {

// Recent systems store the metadata as a binary list, older iTunes as XML.
PlistValue storeApplication(const std::string& itemName, std::span<const std::byte> icon,
                            PlistFormat metadataFormat) {
    const PlistValue metadata =
        PlistValue::dictionary({{"itemName", PlistValue::string(itemName)}});
    return PlistValue::dictionary(
        {{"iTunesMetadata", PlistValue::data(metadata.encode(metadataFormat))},
         {"PlaceholderIcon", PlistValue::data(icon)}});
}

}  // namespace

void writeModernSample(BackupWriter& backup, ModernLayout layout, std::uint32_t firstModified) {
    // Domain, path and contents of each file.
    static const std::array<std::array<std::string, 3>, 16> files{{
        {"AppDomain-net.whatsapp.WhatsApp", "Documents/backup.plist", "wa-backup"},
        {"AppDomain-net.whatsapp.WhatsApp", "Library/Preferences/wa.plist", "wa-prefs"},
        {"AppDomainGroup-group.net.whatsapp.WhatsApp.shared", "ChatStorage.sqlite", "chats"},
        {"AppDomainPlugin-net.whatsapp.WhatsApp.ShareExtension", "Library/share.plist", "share"},
        {"AppDomain-com.google.chrome.ios", "Library/Cookies/Cookies.binarycookies", "cookies"},
        {"AppDomainGroup-group.com.google.chrome", "Library/group.plist", "chrome"},
        {"AppDomainGroup-group.com.google.common", "Library/common.plist", "common"},
        {"AppDomain-com.apple.podcasts", "Documents/MTLibrary.sqlite", "library"},
        {"AppDomainGroup-243LU875E5.groups.com.apple.podcasts", "Library/feeds.db", "feeds"},
        {"AppDomainGroup-group.com.apple.notes", "NoteStore.sqlite", "notes"},
        {"AppDomainGroup-group.is.workflow.my.app", "Shortcuts.sqlite", "shortcuts"},
        {"AppDomainPlugin-com.apple.news.widget", "Library/Caches/news.db", "news"},
        {"SysContainerDomain-com.apple.appstored", "Library/store.db", "store"},
        {"SysSharedContainerDomain-systemgroup.com.apple.bluetooth", "Library/paired.db", "bt"},
        {"HomeDomain", "Library/SMS/sms.db", "sms"},
        {"CameraRollDomain", "Media/DCIM/100APPLE/IMG_0001.JPG", "jpeg"},
    }};
    // About two and a half days apart, at another hour each time.
    constexpr std::uint32_t apart = 211'000;
    std::uint32_t modified = firstModified;
    for (const auto& [domain, path, contents] : files) {
        if (layout == ModernLayout::ManifestDb)
            backup.addManifestDbFile(domain, path, contents, modified);
        else
            backup.addUnindexedDatabaseFile(domain, path, contents, modified);
        if (firstModified != 0) modified += apart;
    }
}

std::vector<std::byte> samplePngIcon() {
    constexpr unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
        0x52, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x08, 0x08, 0x06, 0x00, 0x00, 0x00, 0xC4,
        0x0F, 0xBE, 0x8B, 0x00, 0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0x50,
        0xBD, 0x9C, 0xF6, 0x1F, 0x1F, 0x66, 0x18, 0x19, 0x0A, 0x00, 0xBE, 0x6B, 0x97, 0x41, 0x4B,
        0xAA, 0xCF, 0xD9, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    const auto bytes = std::as_bytes(std::span(png));
    return {bytes.begin(), bytes.end()};
}

PlistValue sampleStoreApplications() {
    // WhatsApp's icon is text, not an image.
    return PlistValue::dictionary(
        {{"net.whatsapp.WhatsApp",
          storeApplication("WhatsApp Messenger", bytesOf("icon"), PlistFormat::Binary)},
         {"com.google.chrome.ios",
          storeApplication("Google Chrome", samplePngIcon(), PlistFormat::Xml)}});
}

void writeApplicationsInfoPlist(const std::string& folder,
                                const std::optional<std::string>& deviceName) {
    PlistValue info = PlistValue::dictionary({{"Applications", sampleStoreApplications()}});
    if (deviceName) info.set("Device Name", PlistValue::string(*deviceName));
    info.write(folder + "/Info.plist", PlistFormat::Xml);
}

}  // namespace salvora::test
