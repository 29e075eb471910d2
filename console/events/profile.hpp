// One user profile: a slot number and its EDID.
#pragma once

#include <cstdint>

#include "console/events/edid_bytes.hpp"

namespace vistrel {

struct profile {
    std::uint8_t id = 0;          // slot number, 0 to 254
    edid_bytes edid{};            // bytes past edid_size are zero
    std::uint64_t edid_size = 0;  // bytes decoded from the reply or read from a file
};

}  // namespace vistrel
