// Which row a group or an extension joins: the application it points at or shares the
// developer's part with, a row of its own where several could own it, one row for the
// containers of an absent application, and System Containers for Apple's services.
#include <gtest/gtest.h>

#include "catalog/naming/ApplicationOwners.h"
#include "catalog/naming/KnownApplications.h"

namespace salvora {
namespace {
using Kind = ApplicationKind;

struct Joining {
    std::string container;                  // the domain
    std::vector<std::string> applications;  // the other containers of the backup
    ApplicationOwner owner;
};

void PrintTo(const Joining& joining, std::ostream* out) { *out << joining.container; }

class ApplicationJoining : public ::testing::TestWithParam<Joining> {};

TEST_P(ApplicationJoining, GoesToTheRowItsIdentifierNames) {
    std::vector<ContainerDomain> containers{containerDomain(GetParam().container)};
    for (const std::string& domain : GetParam().applications)
        containers.push_back(containerDomain(domain));
    EXPECT_EQ(ApplicationOwners(containers).ownerOf(containers.front()), GetParam().owner);
}

const std::string typewise = "AppDomain-ch.icoaching.typewise";
INSTANTIATE_TEST_SUITE_P(
    Joined, ApplicationJoining,
    ::testing::Values(
        Joining{"AppDomainGroup-group.typewise.sharedsettings",
                {typewise},
                {"ch.icoaching.typewise", Kind::App}},
        Joining{"AppDomainGroup-group.TypeWise.settings",
                {typewise},
                {"ch.icoaching.typewise", Kind::App}},
        Joining{"AppDomainGroup-group.com.icoaching.shared",
                {typewise},
                {"ch.icoaching.typewise", Kind::App}},
        Joining{"AppDomainGroup-group.com.google.chrome",
                {"AppDomain-com.google.chrome.ios"},
                {"com.google.chrome.ios", Kind::App}},
        // The application absent: its group and extensions make one row.
        Joining{"AppDomainPlugin-com.apple.stocks.widget",
                {"AppDomainGroup-group.com.apple.stocks"},
                {"com.apple.stocks", Kind::Group}},
        Joining{"AppDomainGroup-group.com.apple.stocks",
                {"AppDomainPlugin-com.apple.stocks.widget"},
                {"com.apple.stocks", Kind::Group}},
        Joining{"AppDomainPlugin-com.example.reader.share.intents",
                {"AppDomainPlugin-com.example.reader.widget"},
                {"com.example.reader", Kind::Plugin}},
        // Apple's services and widgets with no application.
        Joining{"AppDomainPlugin-com.apple.AppleAccountUI.AAUIFollowUpExtension",
                {},
                {"System Containers", Kind::System}},
        Joining{"AppDomainPlugin-com.apple.news.widget", {}, {"System Containers", Kind::System}},
        Joining{"AppDomainGroup-group.com.apple.family", {}, {"System Containers", Kind::System}}));

INSTANTIATE_TEST_SUITE_P(NotJoined, ApplicationJoining,
                         ::testing::Values(
                             // Only vendors and generic labels in common.
                             Joining{"AppDomainGroup-group.com.google.common",
                                     {"AppDomain-com.google.chrome.ios"},
                                     {"group.com.google.common", Kind::Group}},
                             Joining{"AppDomainGroup-group.shared.widget",
                                     {"AppDomain-com.shared.widget"},
                                     {"group.shared.widget", Kind::Group}},
                             // One label, two developers.
                             Joining{"AppDomainGroup-group.com.apple.stocks",
                                     {"AppDomain-com.example.stocks"},
                                     {"com.apple.stocks", Kind::Group}},
                             Joining{"AppDomainPlugin-com.examplestocks.widget",
                                     {"AppDomain-com.example"},
                                     {"com.examplestocks", Kind::Plugin}}));

INSTANTIATE_TEST_SUITE_P(Ambiguous, ApplicationJoining,
                         ::testing::Values(Joining{"AppDomainGroup-group.typewise.sharedsettings",
                                                   {typewise, "AppDomain-com.other.typewise"},
                                                   {"group.typewise.sharedsettings", Kind::Group}},
                                           Joining{"AppDomainGroup-group.com.example.shared",
                                                   {"AppDomain-com.example.reader",
                                                    "AppDomain-com.example.writer"},
                                                   {"group.com.example.shared", Kind::Group}}));

TEST(KnownApplications, NamesAsPeopleKnowThem) {
    for (const auto& [name, kind, shown] : std::vector<std::tuple<std::string, Kind, std::string>>{
             {"com.google.chrome.ios", Kind::App, "Chrome"},
             {"com.google.GoogleMobile", Kind::App, "Google"},
             {"ph.telegra.Telegraph", Kind::App, "Telegram"},
             {"com.microsoft.skype.teams", Kind::App, "Microsoft Teams"},
             {"com.apple.Stocks", Kind::Group, "Stocks"},
             {"HomeKitDomain", Kind::Domain, "Home"},
             {"InstallDomain", Kind::Domain, "Installed Apps"},
             {"UnheardOfDomain", Kind::Domain, "UnheardOfDomain"},
             // Read from the identifier.
             {"ch.icoaching.typewise", Kind::App, "Typewise"},
             {"com.example.my_reader.ios", Kind::App, "My reader"},
             {"com.example.NoteKeeper", Kind::App, "NoteKeeper"},
             {"group.com.google.common", Kind::Group, "Google (shared)"}}) {
        ApplicationRecord application;
        application.name = name;
        application.kind = kind;
        EXPECT_EQ(fallbackDisplayName(application), shown) << name;
    }
}

}  // namespace
}  // namespace salvora
