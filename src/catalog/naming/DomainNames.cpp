#include "catalog/naming/DomainNames.h"

namespace salvora {
namespace {

constexpr std::string_view appDomain = "AppDomain-";

}  // namespace

std::string withoutAppDomain(std::string_view domain) {
    std::string result;
    result.reserve(domain.size());
    for (;;) {
        std::size_t found = domain.find(appDomain);
        result += domain.substr(0, found);
        if (found == std::string_view::npos) return result;
        domain.remove_prefix(found + appDomain.size());
    }
}

std::string applicationNameForDomain(std::string_view domain) {
    std::string shortened = withoutAppDomain(domain);
    std::size_t lastDot = shortened.rfind('.');
    return lastDot == std::string::npos ? shortened : shortened.substr(lastDot + 1);
}

}  // namespace salvora
