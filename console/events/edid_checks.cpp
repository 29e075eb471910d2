#include "console/events/edid_checks.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vistrel {

bool edid_checksum_ok(edid_block block)
{
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : block) {
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    return sum == 0;
}

bool edid_header_ok(const edid_bytes& edid)
{
    constexpr std::array<std::uint8_t, 8> header{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    return std::equal(header.begin(), header.end(), edid.begin());
}

}  // namespace vistrel
