#pragma once

// Seeds for every fuzz target, made by the fixture writer: sound inputs of every layout, so the
// fuzzer starts from what real backups hold and mutates from there.
#include <cstddef>
#include <string>
#include <vector>

namespace salvora::fuzz {

struct FuzzSeed {
    std::string target;  // a FuzzTarget's name
    std::string name;
    std::vector<std::byte> bytes;
};

std::vector<FuzzSeed> fuzzSeeds();

// Writes every seed to folder/<target>/<name>, creating the folders.
void writeFuzzSeeds(const std::string& folder);

}  // namespace salvora::fuzz
