#pragma once

#include <cstdint>
#include <random>

namespace twtest {

// The simulation's dice. The standard distributions differ between libraries, so a seed
// would not replay elsewhere: only the engine's raw numbers are used, shaped here.
class TSimRandom {
  public:
    explicit TSimRandom(std::uint64_t seed) : engine_(seed) {}

    // A whole number in [low, high].
    std::int64_t Between(std::int64_t low, std::int64_t high) {
        const auto span = static_cast<std::uint64_t>(high - low) + 1;
        if (span == 0) {
            return static_cast<std::int64_t>(engine_());
        }
        // Rejection keeps every value equally likely.
        const std::uint64_t limit = UINT64_MAX - UINT64_MAX % span;
        std::uint64_t value;
        do {
            value = engine_();
        } while (value >= limit);
        return low + static_cast<std::int64_t>(value % span);
    }
    // True with the given probability.
    bool Chance(double probability) { return Unit() < probability; }
    // In [0, 1).
    double Unit() { return static_cast<double>(engine_() >> 11) * (1.0 / 9007199254740992.0); }
    template <typename T> const auto& Pick(const T& items) {
        return items[static_cast<std::size_t>(
            Between(0, static_cast<std::int64_t>(items.size()) - 1))];
    }

  private:
    std::mt19937_64 engine_;
};

} // namespace twtest
