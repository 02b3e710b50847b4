#pragma once

// The bodies of the fuzz targets. Each runs one input through a reader the way a damaged or
// crafted backup would reach it, and stops the process when a promise the rest of the program
// relies on is broken. They live apart from the libFuzzer entry point so that an ordinary test
// replays committed inputs in every build.
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace salvora::fuzz {

using Input = std::span<const std::byte>;

// Returns how much the reader found (files, names, keybag classes, values), so a test can tell
// that a seed is read as meant.
using FuzzBody = std::size_t (*)(Input);

struct FuzzTarget {
    std::string_view name;  // also the folder of its seeds and reproducers
    FuzzBody body;
};

std::span<const FuzzTarget> fuzzTargets();
// Nullptr for a name no target has.
const FuzzTarget* findFuzzTarget(std::string_view name);

// The manifest database's two files as one input: a 4-byte big-endian length, that many bytes
// of "Manifest.mbdx" (fewer when the input ends first) and "Manifest.mbdb" after them.
std::vector<std::byte> joinManifestDatabaseInput(Input index, Input database);

}  // namespace salvora::fuzz
