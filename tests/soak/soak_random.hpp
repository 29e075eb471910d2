// The seeded draw of the soak: the same seed gives the same exchanges and faults on every
// platform (std::mt19937_64 is fully specified; the standard distributions are not, so the
// reductions to ranges are done here).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>

namespace vistrel::soak {

class soak_random {
public:
    explicit soak_random(std::uint64_t seed) : engine_(seed) {}

    // 0 to count - 1; 0 for a count of 0.
    std::uint64_t below(std::uint64_t count);
    // low to high, both included.
    long long between(long long low, long long high);
    // true in `percent` of the draws.
    bool chance(unsigned percent) { return below(100) < percent; }
    // The index of a weight, drawn in proportion to the weights.
    std::size_t weighted(std::initializer_list<unsigned> weights);
    template <typename Weights>
    std::size_t weighted_range(const Weights& weights)
    {
        std::uint64_t total = 0;
        for (const auto weight : weights) {
            total += weight;
        }
        std::uint64_t at = below(total);
        std::size_t index = 0;
        for (const auto weight : weights) {
            if (at < weight) {
                return index;
            }
            at -= weight;
            ++index;
        }
        return 0;
    }

    std::uint8_t byte() { return static_cast<std::uint8_t>(engine_() >> 56); }

private:
    std::mt19937_64 engine_;
};

// A seed from the system's entropy, for runs without a given seed.
std::uint64_t fresh_seed();

}  // namespace vistrel::soak
