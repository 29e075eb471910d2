// One user profile, a slot number and its EDID, and how its EDID reads: the integrity
// checks, the device's own data block in the extension, and the row of the profile list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "contract/device_contract.hpp"

namespace vistrel {

inline constexpr std::size_t edid_block_size = 128;

// The EDID of one user profile: base block and first extension block.
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

struct profile {
    std::uint8_t id = 0;  // slot number, 0 to 254
    edid_bytes edid{};  // bytes past edid_size are zero
    std::uint64_t edid_size = 0;  // bytes decoded from the reply or read from a file
};

// The 128 bytes of the block add up to 0 modulo 256.
bool edid_checksum_ok(edid_block block);

// Bytes 0 to 7 are 00 FF FF FF FF FF FF 00.
bool edid_header_ok(const edid_bytes& edid);

// Names of the CAN buses and ECUs that the device's own data block refers to by index.
inline constexpr std::array<std::string_view, 3> can_bus_names{"NONE", "MIB", "AB"};
inline constexpr std::array<std::string_view, 6> ecu_names{"NONE", "ABT", "CDD", "iID/FID", "HUD", "PID"};

// The name at `index`, or none when the index lies outside the table.
inline std::optional<std::string_view> name_at(std::span<const std::string_view> table, std::size_t index)
{
    if (index >= table.size()) {
        return std::nullopt;
    }
    return table[index];
}

// The payload bytes of the device's data block: format code, unused byte, CAN bus index
// and ECU index (both 16-bit little-endian). Bytes that would lie past the extension
// block read as zero.
using device_block_payload = std::array<std::uint8_t, 6>;

// The payload of the first matching data block of a CTA-861 revision 3 extension, or none.
std::optional<device_block_payload> find_device_block(edid_block extension);

// The ECU and CAN bus part of a profile row; empty when the EDID carries no device block.
std::string format_device_info(const edid_bytes& edid);

// Resolution, screen size, part number, (when the running command asks for it) the data
// string, and the ECU and CAN bus names, preceded by notes about broken checksums or headers.
// Never fails: every missing piece is shown as unknown.
std::string format_profile_row(const edid_bytes& edid, bool with_labels);

}  // namespace vistrel
