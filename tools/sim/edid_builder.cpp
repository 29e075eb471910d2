#include "tools/sim/edid_builder.hpp"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <vector>

namespace vistrel::sim {
namespace {

constexpr std::uint8_t descriptor_product_name = 0xFC;
constexpr std::uint8_t descriptor_data_string = 0xFE;
constexpr std::uint8_t descriptor_range_limits = 0xFD;

constexpr std::uint8_t cta_extension_tag = 0x02;
constexpr std::uint8_t cta_revision = 0x03;
constexpr std::uint8_t tag_vendor_specific = 3;
constexpr std::uint8_t tag_extended = 7;
constexpr std::uint8_t extended_vendor_video = 0x01;
constexpr std::uint8_t extended_colorimetry = 0x05;

// Blanking used for every panel: small, as embedded panels run it.
constexpr unsigned h_blank = 160;
constexpr unsigned h_front_porch = 48;
constexpr unsigned h_sync_width = 32;
constexpr unsigned v_blank = 30;
constexpr unsigned v_front_porch = 3;
constexpr unsigned v_sync_width = 6;
constexpr unsigned refresh_hz = 60;

std::uint8_t low_byte(unsigned value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

void set_checksum(edid_block& edid, std::size_t block_start)
{
    const unsigned sum = std::accumulate(edid.begin() + static_cast<std::ptrdiff_t>(block_start),
                                         edid.begin() + static_cast<std::ptrdiff_t>(block_start + 127), 0U);
    edid[block_start + 127] = low_byte(256 - (sum & 0xFF));
}

// Three-letter manufacturer code, five bits per letter, big-endian.
void put_manufacturer(edid_block& edid, const char (&code)[4])
{
    const unsigned packed = ((code[0] - 'A' + 1U) << 10) | ((code[1] - 'A' + 1U) << 5) | (code[2] - 'A' + 1U);
    edid[8] = low_byte(packed >> 8);
    edid[9] = low_byte(packed);
}

void put_detailed_timing(edid_block& edid, std::size_t at, const panel_description& panel)
{
    const unsigned h_active = panel.width_px;
    const unsigned v_active = panel.height_px;
    const unsigned long clock_10khz =
        static_cast<unsigned long>(h_active + h_blank) * (v_active + v_blank) * refresh_hz / 10000UL;
    if (clock_10khz > 0xFFFF || h_active > 0xFFF || v_active > 0xFFF || panel.width_mm > 0xFFF
        || panel.height_mm > 0xFFF) {
        throw std::invalid_argument("panel does not fit a detailed timing descriptor");
    }
    const auto clock = static_cast<unsigned>(clock_10khz);
    edid[at + 0] = low_byte(clock);
    edid[at + 1] = low_byte(clock >> 8);
    edid[at + 2] = low_byte(h_active);
    edid[at + 3] = low_byte(h_blank);
    edid[at + 4] = low_byte(((h_active >> 8) << 4) | (h_blank >> 8));
    edid[at + 5] = low_byte(v_active);
    edid[at + 6] = low_byte(v_blank);
    edid[at + 7] = low_byte(((v_active >> 8) << 4) | (v_blank >> 8));
    edid[at + 8] = low_byte(h_front_porch);
    edid[at + 9] = low_byte(h_sync_width);
    edid[at + 10] = low_byte(((v_front_porch & 0x0F) << 4) | (v_sync_width & 0x0F));
    edid[at + 11] = low_byte(((h_front_porch >> 8) << 6) | ((h_sync_width >> 8) << 4) | ((v_front_porch >> 4) << 2)
                             | (v_sync_width >> 4));
    edid[at + 12] = low_byte(panel.width_mm);
    edid[at + 13] = low_byte(panel.height_mm);
    edid[at + 14] = low_byte(((panel.width_mm >> 8) << 4) | (panel.height_mm >> 8));
    edid[at + 15] = 0;
    edid[at + 16] = 0;
    edid[at + 17] = 0x1E;  // digital separate sync, both polarities positive
}

// A text descriptor: 13 characters, ended by a line feed and padded with spaces.
void put_text_descriptor(edid_block& edid, std::size_t at, std::uint8_t tag, const std::string& text)
{
    if (text.size() > 13) {
        throw std::invalid_argument("descriptor text longer than 13 characters: " + text);
    }
    edid[at + 3] = tag;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        edid[at + 5 + i] = static_cast<std::uint8_t>(text[i]);
    }
    if (i < 13) {
        edid[at + 5 + i++] = 0x0A;
    }
    for (; i < 13; ++i) {
        edid[at + 5 + i] = 0x20;
    }
}

void put_range_limits(edid_block& edid, std::size_t at, const panel_description& panel)
{
    const unsigned line_khz = (panel.height_px + v_blank) * refresh_hz / 1000;
    const unsigned long clock_mhz =
        static_cast<unsigned long>(panel.width_px + h_blank) * (panel.height_px + v_blank) * refresh_hz / 1000000UL
        + 10;
    edid[at + 3] = descriptor_range_limits;
    edid[at + 5] = 56;  // vertical rate, Hz
    edid[at + 6] = 64;
    edid[at + 7] = low_byte(line_khz > 5 ? line_khz - 5 : 1);  // horizontal rate, kHz
    edid[at + 8] = low_byte(line_khz + 5);
    edid[at + 9] = low_byte(static_cast<unsigned>((clock_mhz + 9) / 10));  // pixel clock, 10 MHz units
    edid[at + 10] = 0x01;  // range limits only
    edid[at + 11] = 0x0A;
    for (std::size_t i = 12; i < 18; ++i) {
        edid[at + i] = 0x20;
    }
}

std::vector<std::uint8_t> device_block(const panel_description& panel)
{
    std::vector<std::uint8_t> block;
    if (panel.extended_tag_block) {
        block = {0, extended_vendor_video, 0x00, 0x00, 0x00, 'T', 'Z', 0x01};
    } else {
        block = {0, 0x00, 0x00, 0x00, 'T', 'Z', 0x01};
    }
    const std::uint8_t payload[] = {panel.format_code,       0x00,
                                    low_byte(panel.can_bus), low_byte(panel.can_bus >> 8),
                                    low_byte(panel.ecu),     low_byte(panel.ecu >> 8)};
    block.insert(block.end(), std::begin(payload), std::end(payload));
    const unsigned tag = panel.extended_tag_block ? tag_extended : tag_vendor_specific;
    block[0] = low_byte((tag << 5) | static_cast<unsigned>(block.size() - 1));
    return block;
}

void put_extension(edid_block& edid, const panel_description& panel)
{
    constexpr std::size_t base = edid_extension_offset;
    edid[base + 0] = cta_extension_tag;
    edid[base + 1] = cta_revision;
    edid[base + 3] = 0x00;

    // A colorimetry block first, so readers walk past a block that is not ours.
    std::vector<std::uint8_t> blocks = {static_cast<std::uint8_t>((tag_extended << 5) | 3), extended_colorimetry, 0x03,
                                        0x00};
    const auto own = device_block(panel);
    blocks.insert(blocks.end(), own.begin(), own.end());
    std::copy(blocks.begin(), blocks.end(), edid.begin() + static_cast<std::ptrdiff_t>(edid_data_blocks_offset));
    edid[base + 2] = low_byte(static_cast<unsigned>(4 + blocks.size()));  // no detailed timings follow the blocks
}

}  // namespace

edid_block build_edid(const panel_description& panel)
{
    edid_block edid{};
    constexpr std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(std::begin(header), std::end(header), edid.begin());
    put_manufacturer(edid, "VST");
    edid[10] = low_byte(panel.product_code);
    edid[11] = low_byte(panel.product_code >> 8);
    for (int i = 0; i < 4; ++i) {
        edid[static_cast<std::size_t>(12 + i)] = low_byte(panel.serial_number >> (8 * i));
    }
    edid[16] = 12;  // week of manufacture
    edid[17] = 2024 - 1990;
    edid[18] = 1;  // EDID 1.4
    edid[19] = 4;
    edid[20] = 0xA5;  // digital input, 8 bits per colour, DisplayPort
    edid[21] = low_byte((panel.width_mm + 5) / 10);  // screen size in centimetres
    edid[22] = low_byte((panel.height_mm + 5) / 10);
    edid[23] = 120;  // gamma 2.2
    edid[24] = 0x02;  // the first timing is the native one
    constexpr std::uint8_t chromaticity[] = {0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54};
    std::copy(std::begin(chromaticity), std::end(chromaticity), edid.begin() + 25);
    for (std::size_t i = 38; i < 54; ++i) {
        edid[i] = 0x01;  // no standard timings
    }
    put_detailed_timing(edid, 54, panel);
    put_text_descriptor(edid, 72, descriptor_product_name, panel.product_name);
    put_text_descriptor(edid, 90, descriptor_data_string, panel.data_string);
    put_range_limits(edid, 108, panel);
    edid[126] = 1;  // one extension block
    set_checksum(edid, 0);

    put_extension(edid, panel);
    set_checksum(edid, edid_extension_offset);
    return edid;
}

const std::array<panel_description, 8>& default_panels()
{
    // Indexes: CAN bus 0 NONE, 1 MIB, 2 AB; ECU 0 NONE, 1 ABT, 2 CDD, 3 iID/FID, 4 HUD, 5 PID.
    static const std::array<panel_description, 8> panels = [] {
        std::array<panel_description, 8> list{{
            {1920, 720, 292, 110, "VST CL 12.3", "FID-CLUSTER", 1, 3, 0x01, false, 0, 0},
            {1920, 720, 243, 91, "VST CID 10.25", "CENTER-DISP", 1, 1, 0x10, false, 0, 0},
            {1280, 720, 155, 87, "VST HUD 7.0", "HEAD-UP", 2, 4, 0x11, false, 0, 0},
            {1920, 1080, 344, 194, "VST PID 15.6", "PASSENGER", 2, 5, 0x01, false, 0, 0},
            {1280, 800, 217, 136, "VST CDD 10.1", "CDD-LOWER", 1, 2, 0x01, false, 0, 0},
            {2880, 1080, 344, 129, "VST WIDE 14.5", "PANORAMA", 2, 1, 0x10, false, 0, 0},
            {1024, 600, 153, 90, "VST AUX 7.0", "SERVICE", 0, 0, 0x01, false, 0, 0},
            {2560, 720, 346, 97, "VST CL 14.2", "DUAL-CL", 1, 3, 0x01, true, 0, 0},
        }};
        for (std::size_t slot = 0; slot < list.size(); ++slot) {
            list[slot].product_code = static_cast<std::uint16_t>(0x2300 + slot);
            list[slot].serial_number = static_cast<std::uint32_t>(0x56530000 + slot);
        }
        return list;
    }();
    return panels;
}

}  // namespace vistrel::sim
