// The name of a shared contact card, whichever vCard version wrote it, and nothing for a card
// that names no one.
#include <gtest/gtest.h>

#include "sources/whatsapp/VCardName.h"

namespace salvora {
namespace {

struct Card {
    const char* label;
    std::string card;
    std::optional<std::string> name;
};

void PrintTo(const Card& each, std::ostream* out) { *out << each.label; }

class VCardNames : public ::testing::TestWithParam<Card> {};

TEST_P(VCardNames, AreReadAsAChatShowsThem) {
    EXPECT_EQ(vCardName(GetParam().card), GetParam().name);
}

const std::string longName(300, 'a');

INSTANTIATE_TEST_SUITE_P(
    Cards, VCardNames,
    ::testing::Values(
        Card{"folded", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ada\r\n  Lovelace\r\nEND:VCARD",
             "Ada Lovelace"},
        Card{"grouped-with-parameters", "BEGIN:VCARD\nitem1.fn;CHARSET=UTF-8:Zoë\nEND:VCARD",
             "Zoë"},
        Card{"structured-only", "BEGIN:VCARD\nN:Lovelace;Ada;Augusta;Lady;\nEND:VCARD",
             "Lady Ada Augusta Lovelace"},
        Card{"escaped", "FN:Smith\\, Jones \\; Co\n", "Smith, Jones ; Co"},
        Card{"quoted-printable", "FN;ENCODING=QUOTED-PRINTABLE:Ren=C3=A9 =3\n", "René =3"},
        Card{"blank-name-falls-to-structured", "FN: \nN:Turing;Alan\n", "Alan Turing"},
        Card{"no-name", "BEGIN:VCARD\nTEL:+441234\nEND:VCARD", std::nullopt},
        Card{"not-utf8", "FN:\xff\xfe\n", std::nullopt}, Card{"empty", "", std::nullopt},
        Card{"cut-at-a-character", "FN:" + longName.substr(0, 255) + "é\n",
             longName.substr(0, 255)},
        Card{"name-past-the-read-limit", std::string(vCardReadLimit, '\n') + "FN:Late\n",
             std::nullopt}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& c : name)
            if (c == '-') c = '_';
        return name;
    });

}  // namespace
}  // namespace salvora
