#pragma once

// The application name the database layouts read from a domain.
#include <string>
#include <string_view>

namespace salvora {

// The domain with every "AppDomain-" removed, wherever it stands.
std::string withoutAppDomain(std::string_view domain);

// The database layouts' rule: "AppDomain-" removed everywhere, then the last "."-separated
// piece ("AppDomain-com.example.notes" gives "notes", a domain ending in "." the empty name).
std::string applicationNameForDomain(std::string_view domain);

}  // namespace salvora
