#pragma once

// The ".mdinfo" description of a file that names its domain and path in the outer list.
#include <string>
#include <utility>

#include "support/BackupWriter.h"

namespace salvora::test {

inline MdinfoDescription inDomain(std::string domain, std::string path) {
    MdinfoDescription description;
    description.domain = std::move(domain);
    description.path = std::move(path);
    return description;
}

}  // namespace salvora::test
