// The fuzz targets' committed reproducers and their seeds, replayed in the ordinary builds: a
// finding that comes back fails here, and under the sanitizers it shows where.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/FuzzSeeds.h"
#include "fuzz/FuzzTargets.h"
#include "support/TemporaryFolder.h"

namespace salvora::fuzz {
namespace {
namespace fs = std::filesystem;

const fs::path reproducers = SALVORA_FUZZ_REPRODUCERS;

std::vector<std::string> targetNames() {
    std::vector<std::string> names;
    for (const FuzzTarget& target : fuzzTargets()) names.emplace_back(target.name);
    return names;
}

TEST(FuzzSeeds, EveryTargetHasSeedsAndReadsThemAsMeant) {
    std::map<std::string, int> seedsPerTarget;
    for (const FuzzSeed& seed : fuzzSeeds()) {
        const FuzzTarget* target = findFuzzTarget(seed.target);
        ASSERT_NE(target, nullptr) << seed.target;
        // Each seed gives files, names, classes or values: a seed the reader refuses would
        // start the fuzzer nowhere.
        EXPECT_GT(target->body(seed.bytes), 0u) << seed.target << "/" << seed.name;
        ++seedsPerTarget[seed.target];
    }
    for (const std::string& name : targetNames()) EXPECT_GT(seedsPerTarget[name], 0) << name;
}

TEST(FuzzReproducers, EveryFolderIsATargetsOwn) {
    for (const auto& entry : fs::directory_iterator(reproducers)) {
        EXPECT_NE(findFuzzTarget(entry.path().filename().string()), nullptr) << entry.path();
    }
}

class FuzzReproducers : public testing::TestWithParam<std::string> {};

TEST_P(FuzzReproducers, ReplayWithoutAFault) {
    const FuzzTarget* target = findFuzzTarget(GetParam());
    std::size_t replayed = 0;
    for (const auto& entry : fs::directory_iterator(reproducers / GetParam())) {
        SCOPED_TRACE(entry.path().string());
        target->body(test::readBytes(entry.path().string()));
        ++replayed;
    }
    EXPECT_GT(replayed, 0u);
}

INSTANTIATE_TEST_SUITE_P(Fuzz, FuzzReproducers, testing::ValuesIn(targetNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace salvora::fuzz
