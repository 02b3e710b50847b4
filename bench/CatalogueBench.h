#pragma once

// Times the catalogue build of a backup against reading its catalogue files into memory.
#include <string>
#include <vector>

#include "bench/Measure.h"
#include "bench/Report.h"

namespace salvora::bench {

struct CatalogueTimes {
    Timing build;  // medians of the runs
    Timing read;   // reading `files` whole, the floor
    std::size_t applications = 0;
    std::size_t files = 0;
    double catalogueBytes = 0;
};

// What naming a modern backup's applications from its Info.plist costs, against decoding the
// whole list.
struct InfoPlistTimes {
    Timing names;  // medians of the runs
    Timing whole;
    double bytes = 0;
    std::size_t named = 0;  // applications given their store name
};

// Builds the catalogue of `folder` once, then names its applications and decodes the whole
// Info.plist `runs` times each.
InfoPlistTimes timeInfoPlistNames(const std::string& folder, int runs);

// Builds the catalogue of `folder` `runs` times (after one untimed run that warms the cache),
// and reads the named catalogue files of the folder as many times.
CatalogueTimes timeCatalogue(const std::string& folder, const std::vector<std::string>& files,
                             int runs);

}  // namespace salvora::bench
