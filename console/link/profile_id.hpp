// The number of a user profile slot as requests carry it.
#pragma once

#include <cstdint>

namespace vistrel {

using profile_id_t = std::uint8_t;

}  // namespace vistrel
