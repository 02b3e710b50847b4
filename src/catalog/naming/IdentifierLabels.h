#pragma once

// What the "."-separated labels of an application's identifier say: which application, which
// developer, or only which part of an application ("com.google.chrome.ios.widget").
#include <string>
#include <string_view>

namespace salvora {

// A label that says what a part of an application is ("widget", "shared", "ios"), not which
// application it is. Letter case is ignored.
bool isPartLabel(std::string_view label);

// A label that tells one application or developer from the others: not a part label, not a
// top-level domain or a label of three letters or fewer ("com", "ch", "tv"), not a word every
// identifier may hold ("group", "app"), and not one of the vendors whose many applications all
// carry it ("apple", "google", "microsoft").
bool isDistinctiveLabel(std::string_view label);
bool hasDistinctiveLabel(std::string_view identifier);

// Whether two identifiers share the developer's part: a distinctive label in common, letter
// case ignored ("typewise.sharedsettings" and "ch.icoaching.typewise"). Where both are written
// as reverse domain names (the first label a top-level domain, as "com" or "ch"), their second
// labels, the developer's domain, must also be the same, so that "com.apple.stocks" never
// meets "com.example.stocks".
bool shareDevelopersPart(std::string_view a, std::string_view b);

// The identifier without the part labels at its end ("net.whatsapp.WhatsApp.shared" gives
// "net.whatsapp.WhatsApp").
std::string_view withoutPartTails(std::string_view identifier);

// The identifier without its last label ("com.apple.stocks.widget" gives "com.apple.stocks");
// empty for an identifier of one label.
std::string_view withoutLastLabel(std::string_view identifier);

// A readable piece of an identifier: its last label that isn't a part label
// ("com.google.chrome.ios" gives "chrome").
std::string readablePiece(std::string_view identifier);

// A piece of an identifier as a person writes a name: a word all in lower case begins with a
// capital ("chrome" gives "Chrome"), one with capitals is kept ("WhatsApp"), and "-" or "_"
// between words becomes a space.
std::string writtenAsAName(std::string_view piece);

}  // namespace salvora
