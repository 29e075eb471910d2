#include "tests/console/events/edid_builder.hpp"

#include <algorithm>
#include <string>

namespace vistrel::test {

namespace {

constexpr std::size_t extension_offset = 128;

void put_checksum(edid_bytes& bytes, std::size_t block, bool right)
{
    std::uint8_t sum = 0;
    for (std::size_t i = block; i < block + 127; ++i) {
        sum = static_cast<std::uint8_t>(sum + bytes[i]);
    }
    bytes[block + 127] = static_cast<std::uint8_t>(256 - sum + (right ? 0 : 1));
}

}  // namespace

edid_builder::edid_builder()
{
    const std::uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(std::begin(header), std::end(header), bytes.begin());
}

std::uint8_t* edid_builder::descriptor(std::size_t slot)
{
    return bytes.data() + 54 + 18 * slot;
}

edid_builder& edid_builder::timing(std::size_t slot, unsigned h_pixels, unsigned v_pixels, unsigned h_mm, unsigned v_mm)
{
    std::uint8_t* d = descriptor(slot);
    d[0] = 0x3A;  // pixel clock 148.5 MHz
    d[1] = 0x02;
    d[2] = static_cast<std::uint8_t>(h_pixels & 0xFF);
    d[4] = static_cast<std::uint8_t>(((h_pixels >> 8) & 0x0F) << 4);
    d[5] = static_cast<std::uint8_t>(v_pixels & 0xFF);
    d[7] = static_cast<std::uint8_t>(((v_pixels >> 8) & 0x0F) << 4);
    d[12] = static_cast<std::uint8_t>(h_mm & 0xFF);
    d[13] = static_cast<std::uint8_t>(v_mm & 0xFF);
    d[14] = static_cast<std::uint8_t>((((h_mm >> 8) & 0x0F) << 4) | ((v_mm >> 8) & 0x0F));
    return *this;
}

edid_builder& edid_builder::text(std::size_t slot, std::uint8_t tag, std::string_view text)
{
    std::uint8_t* d = descriptor(slot);
    std::fill(d, d + 18, std::uint8_t{0});
    d[3] = tag;
    std::fill(d + 5, d + 18, std::uint8_t{' '});
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 13), d + 5);
    return *this;
}

edid_builder& edid_builder::range_limits(std::size_t slot)
{
    std::uint8_t* d = descriptor(slot);
    std::fill(d, d + 18, std::uint8_t{0});
    d[3] = 0xFD;
    d[5] = 50;
    d[6] = 70;
    return *this;
}

edid_builder& edid_builder::extension(std::uint8_t kind, std::uint8_t revision)
{
    bytes[126] = 1;
    bytes[extension_offset] = kind;
    bytes[extension_offset + 1] = revision;
    bytes[extension_offset + 2] = 4;
    return *this;
}

edid_builder& edid_builder::data_block(const std::vector<std::uint8_t>& block)
{
    const std::size_t end = bytes[extension_offset + 2];
    std::copy(block.begin(), block.end(), bytes.begin() + static_cast<std::ptrdiff_t>(extension_offset + end));
    bytes[extension_offset + 2] = static_cast<std::uint8_t>(end + block.size());
    return *this;
}

edid_builder& edid_builder::device_block(bool extended, std::uint8_t format, std::uint16_t can_bus, std::uint16_t ecu)
{
    std::vector<std::uint8_t> block;
    if (extended) {
        block = {0xE0, 0x01, 0, 0, 0, 'T', 'Z', 0x01};
    } else {
        block = {0x60, 0, 0, 0, 'T', 'Z', 0x01};
    }
    const std::uint8_t payload[6] = {format,
                                     0,
                                     static_cast<std::uint8_t>(can_bus & 0xFF),
                                     static_cast<std::uint8_t>(can_bus >> 8),
                                     static_cast<std::uint8_t>(ecu & 0xFF),
                                     static_cast<std::uint8_t>(ecu >> 8)};
    block.insert(block.end(), std::begin(payload), std::end(payload));
    block[0] = static_cast<std::uint8_t>(block[0] | (block.size() - 1));
    return data_block(block);
}

edid_builder& edid_builder::wrong_base_checksum()
{
    base_checksum_ok = false;
    return *this;
}

edid_builder& edid_builder::wrong_extension_checksum()
{
    extension_checksum_ok = false;
    return *this;
}

edid_bytes edid_builder::build() const
{
    edid_bytes result = bytes;
    put_checksum(result, 0, base_checksum_ok);
    if (result[126] != 0) {
        put_checksum(result, extension_offset, extension_checksum_ok);
    }
    return result;
}

std::string base64_of(const std::uint8_t* bytes, std::size_t count)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < count; i += 3) {
        const std::size_t left = count - i;
        const unsigned group = (unsigned{bytes[i]} << 16) | (left > 1 ? unsigned{bytes[i + 1]} << 8 : 0U)
            | (left > 2 ? unsigned{bytes[i + 2]} : 0U);
        text += alphabet[(group >> 18) & 0x3F];
        text += alphabet[(group >> 12) & 0x3F];
        text += left > 1 ? alphabet[(group >> 6) & 0x3F] : '=';
        text += left > 2 ? alphabet[group & 0x3F] : '=';
    }
    return text;
}

}  // namespace vistrel::test
