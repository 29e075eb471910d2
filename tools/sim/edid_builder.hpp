// Builds the 256-byte EDID blocks that the simulated device keeps in its profile slots:
// a base block with one detailed timing, range limits, product name and data string, and a
// CTA-861 revision 3 extension that carries the device's own data block (ECU and CAN bus).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vistrel::sim {

using edid_block = std::array<std::uint8_t, 256>;

struct panel_description {
    std::uint16_t width_px = 0;
    std::uint16_t height_px = 0;
    std::uint16_t width_mm = 0;
    std::uint16_t height_mm = 0;
    std::string product_name;  // display product name descriptor, at most 13 characters
    std::string data_string;  // alphanumeric data string descriptor, at most 13 characters
    std::uint16_t can_bus = 0;  // index of the CAN bus name
    std::uint16_t ecu = 0;  // index of the ECU name
    std::uint8_t format_code = 0x01;
    // Carry the device block as an extended-tag vendor-specific video data block
    // instead of a plain vendor-specific data block.
    bool extended_tag_block = false;
    std::uint16_t product_code = 0;
    std::uint32_t serial_number = 0;
};

// Builds the EDID of a panel, with both checksums set.
edid_block build_edid(const panel_description& panel);

// The eight panels the device ships with, one per profile slot.
const std::array<panel_description, 8>& default_panels();

// Offsets inside the blocks, for readers of what build_edid produced.
inline constexpr std::size_t edid_timing_offset = 54;
inline constexpr std::size_t edid_extension_offset = 128;
inline constexpr std::size_t edid_data_blocks_offset = edid_extension_offset + 4;

}  // namespace vistrel::sim
