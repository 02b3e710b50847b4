// `salvora-cli apps --json` on a backup shaped like a real iOS 14 one: one row per application,
// under the name its owner knows, with the containers each row joins.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "cli/Cli.h"
#include "support/Ios14BackupSample.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

TEST(ApplicationNamesCli, AnIos14BackupListsEachApplicationOnceByTheNameItsOwnerKnows) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    test::writeIos14Sample(backup);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::run({"apps", backup.folder(), "--json"}, out, err), 0) << err.str();
    const nlohmann::json listed = nlohmann::json::parse(out.str());

    // Shown name, identifier, kind, number of containers joined.
    std::vector<std::string> rows;
    std::set<std::string> shown;
    for (const auto& row : listed) {
        rows.push_back(row["displayName"].get<std::string>() + " / " +
                       row["name"].get<std::string>() + " / " + row["kind"].get<std::string>() +
                       " / " + std::to_string(row["domains"].size()));
        EXPECT_TRUE(shown.insert(row["displayName"]).second) << row["displayName"];
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "Camera Roll / CameraRollDomain / domain / 1",
                        "Chrome / com.google.chrome.ios / app / 2",
                        "Google (shared) / group.com.google.common / group / 1",
                        "Home / HomeKitDomain / domain / 1",
                        "Home Folder / HomeDomain / domain / 1",
                        "Installed Apps / InstallDomain / domain / 1",
                        "Stocks / com.apple.stocks / group / 2",
                        "System Containers / System Containers / system / 5",
                        "Tips / com.apple.tips / group / 1",
                        "Typewise / ch.icoaching.typewise / app / 3",
                        "Weather / com.apple.weather / group / 2",
                        "WhatsApp / net.whatsapp.WhatsApp / app / 2",
                    }));
    EXPECT_EQ(listed[6]["domains"], (nlohmann::json{"AppDomainGroup-group.com.apple.stocks",
                                                    "AppDomainPlugin-com.apple.stocks.widget"}));
}

}  // namespace
}  // namespace salvora
