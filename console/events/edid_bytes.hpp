// The EDID of one user profile: base block and first extension block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "contract/device_contract.hpp"

namespace vistrel {

inline constexpr std::size_t edid_block_size = 128;

using edid_bytes = std::array<std::uint8_t, contract::edid_size>;
using edid_block = std::span<const std::uint8_t, edid_block_size>;

inline edid_block edid_base_block(const edid_bytes& edid)
{
    return edid_block(edid.data(), edid_block_size);
}

inline edid_block edid_extension_block(const edid_bytes& edid)
{
    return edid_block(edid.data() + edid_block_size, edid_block_size);
}

}  // namespace vistrel
