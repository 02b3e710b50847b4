#pragma once

// A small deterministic random source (splitmix64), so a seed always makes the same backup.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace salvora::bench {

class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    // Uniform in [0, bound); bound must not be 0.
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }
    // Uniform in [low, high].
    std::size_t between(std::size_t low, std::size_t high) { return low + below(high - low + 1); }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    bool chance(double probability) { return unit() < probability; }

    template <typename Sequence>
    const auto& pick(const Sequence& items) {
        return items[below(std::size(items))];
    }

  private:
    std::uint64_t state_;
};

}  // namespace salvora::bench
