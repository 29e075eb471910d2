#include "tests/soak/soak_random.hpp"

#include <chrono>
#include <vector>

namespace vistrel::soak {

std::uint64_t soak_random::below(std::uint64_t count)
{
    if (count == 0) {
        return 0;
    }
    // Rejection keeps every value equally likely.
    const std::uint64_t limit = ~0ULL - (~0ULL % count);
    for (;;) {
        const std::uint64_t value = engine_();
        if (value < limit) {
            return value % count;
        }
    }
}

long long soak_random::between(long long low, long long high)
{
    if (high <= low) {
        return low;
    }
    return low + static_cast<long long>(below(static_cast<std::uint64_t>(high - low) + 1));
}

std::size_t soak_random::weighted(std::initializer_list<unsigned> weights)
{
    return weighted_range(weights);
}

std::uint64_t fresh_seed()
{
    std::random_device device;
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return ((static_cast<std::uint64_t>(device()) << 32) ^ device() ^ now) & 0xFFFF'FFFF'FFFFULL;
}

}  // namespace vistrel::soak
