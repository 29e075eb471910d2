// Builds EDIDs for the profile row tests: a base block with chosen descriptors and a
// CTA-861 extension carrying data blocks, with right or deliberately wrong checksums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/events/profile.hpp"

namespace vistrel::test {

class edid_builder {
public:
    edid_builder();  // the fixed header, no descriptors, no extension

    // A detailed timing descriptor in descriptor slot 0 to 3.
    edid_builder& timing(std::size_t slot, unsigned h_pixels, unsigned v_pixels, unsigned h_mm, unsigned v_mm);
    // A text descriptor (0xFC part number, 0xFE data string); the 13 text bytes are `text`
    // followed by spaces.
    edid_builder& text(std::size_t slot, std::uint8_t tag, std::string_view text);
    // A display range limits descriptor: zero pixel clock, tag 0xFD.
    edid_builder& range_limits(std::size_t slot);

    // A CTA-861 extension of the given kind and revision with an empty data block collection.
    edid_builder& extension(std::uint8_t kind = 0x02, std::uint8_t revision = 0x03);
    // Appends raw bytes (header included) to the data block collection.
    edid_builder& data_block(const std::vector<std::uint8_t>& bytes);
    // The device's block as a vendor-specific data block (tag 3) or as an extended-tag
    // vendor-specific video data block (tag 7).
    edid_builder& device_block(bool extended, std::uint8_t format, std::uint16_t can_bus, std::uint16_t ecu);

    edid_builder& wrong_base_checksum();
    edid_builder& wrong_extension_checksum();

    edid_bytes build() const;

private:
    std::uint8_t* descriptor(std::size_t slot);

    edid_bytes bytes{};
    bool base_checksum_ok = true;
    bool extension_checksum_ok = true;
};

// The standard Base64 text of `bytes`, padded.
std::string base64_of(const std::uint8_t* bytes, std::size_t count);

}  // namespace vistrel::test
