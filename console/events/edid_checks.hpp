// Integrity checks of an EDID.
#pragma once

#include "console/events/edid_bytes.hpp"

namespace vistrel {

// The 128 bytes of the block add up to 0 modulo 256.
bool edid_checksum_ok(edid_block block);

// Bytes 0 to 7 are 00 FF FF FF FF FF FF 00.
bool edid_header_ok(const edid_bytes& edid);

}  // namespace vistrel
