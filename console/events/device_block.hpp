// The device's own data block inside the CTA-861 extension of an EDID, which names the
// ECU and the CAN bus a profile is meant for.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "console/events/edid_bytes.hpp"

namespace vistrel {

// The payload bytes of the block: format code, unused byte, CAN bus index and ECU index
// (both 16-bit little-endian). Bytes that would lie past the extension block read as zero.
using device_block_payload = std::array<std::uint8_t, 6>;

// The payload of the first matching data block of a CTA-861 revision 3 extension, or none.
std::optional<device_block_payload> find_device_block(edid_block extension);

// The ECU and CAN bus part of a profile row; empty when the EDID carries no device block.
std::string format_device_info(const edid_bytes& edid);

}  // namespace vistrel
