#include "support/Ios14BackupSample.h"

#include <array>

#include "support/ModernBackupSample.h"

namespace salvora::test {

void writeIos14Sample(BackupWriter& backup) {
    static const std::array<std::array<std::string, 2>, 22> files{{
        {"AppDomain-com.google.chrome.ios", "Library/Cookies/Cookies.binarycookies"},
        {"AppDomainGroup-group.com.google.chrome", "Library/Preferences/group.plist"},
        {"AppDomainGroup-group.com.google.common", "Library/Preferences/common.plist"},
        {"AppDomain-ch.icoaching.typewise", "Library/Preferences/ch.icoaching.typewise.plist"},
        {"AppDomainGroup-group.typewise.sharedsettings", "Library/Preferences/shared.plist"},
        {"AppDomainPlugin-ch.icoaching.typewise.keyboard", "Library/Caches/words.db"},
        {"AppDomain-net.whatsapp.WhatsApp", "Documents/backup.plist"},
        {"AppDomainGroup-group.net.whatsapp.WhatsApp.shared", "ChatStorage.sqlite"},
        {"AppDomainPlugin-com.apple.AppleAccountUI.AAUIFollowUpExtension", "Library/a.plist"},
        {"AppDomainPlugin-com.apple.AuthKitUI.AKFollowUpServerUIExtension", "Library/b.plist"},
        {"AppDomainGroup-group.com.apple.family", "Library/Caches/family.db"},
        {"AppDomainPlugin-com.apple.news.widget", "Library/Caches/news.db"},
        {"AppDomainGroup-group.com.apple.stocks", "Library/Preferences/watchlist.plist"},
        {"AppDomainPlugin-com.apple.stocks.widget", "Library/Caches/quotes.db"},
        {"AppDomainGroup-group.com.apple.weather", "Library/Preferences/places.plist"},
        {"AppDomainPlugin-com.apple.weather.widget", "Library/Caches/forecast.db"},
        {"AppDomainGroup-group.com.apple.tips", "Library/Caches/tips.db"},
        {"HomeKitDomain", "Library/homed/datastore.sqlite"},
        {"InstallDomain", "Library/MobileInstallation/LastLaunchServicesMap.plist"},
        {"HomeDomain", "Library/SMS/sms.db"},
        {"CameraRollDomain", "Media/DCIM/100APPLE/IMG_0001.HEIC"},
        {"SysSharedContainerDomain-systemgroup.com.apple.configurationprofiles",
         "Library/profiles.plist"},
    }};
    for (const auto& [domain, path] : files) backup.addManifestDbFile(domain, path, path);
    // The other tool kept the icons but none of the store's metadata.
    PlistValue applications = PlistValue::dictionary();
    for (const char* identifier :
         {"com.google.chrome.ios", "ch.icoaching.typewise", "net.whatsapp.WhatsApp"})
        applications.set(identifier, PlistValue::dictionary(
                                         {{"PlaceholderIcon", PlistValue::data(samplePngIcon())}}));
    PlistValue::dictionary({{"Applications", applications},
                            {"Device Name", PlistValue::string("iPhone")},
                            {"Product Version", PlistValue::string("14.8")}})
        .write(backup.folder() + "/Info.plist", PlistFormat::Xml);
}

}  // namespace salvora::test
