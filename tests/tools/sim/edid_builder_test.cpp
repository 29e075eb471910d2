// The default profiles are well-formed EDIDs that a host reader can take apart.
#include <cstdint>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "tools/sim/edid_builder.hpp"

namespace vistrel::sim_test {
namespace {

using sim::edid_block;

bool checksum_ok(const edid_block& edid, std::size_t start)
{
    return std::accumulate(edid.begin() + static_cast<std::ptrdiff_t>(start),
                           edid.begin() + static_cast<std::ptrdiff_t>(start + 128), 0U)
        % 256
        == 0;
}

// The text of the first descriptor with this tag: up to the LF, or all 13 bytes.
std::optional<std::string> descriptor_text(const edid_block& edid, std::uint8_t tag)
{
    for (std::size_t at = 54; at < 126; at += 18) {
        if (edid[at] == 0 && edid[at + 1] == 0 && edid[at + 3] == tag) {
            std::string text(edid.begin() + static_cast<std::ptrdiff_t>(at + 5),
                             edid.begin() + static_cast<std::ptrdiff_t>(at + 18));
            return text.substr(0, text.find('\n'));
        }
    }
    return std::nullopt;
}

// The payload of the device's own block, found by walking the CTA data block collection.
std::optional<std::size_t> device_payload(const edid_block& edid)
{
    constexpr std::size_t base = 128;
    if (edid[126] == 0 || edid[base] != 0x02 || edid[base + 1] != 0x03) {
        return std::nullopt;
    }
    const std::size_t end = base + edid[base + 2];
    for (std::size_t at = base + 4; at < end;) {
        const unsigned tag = edid[at] >> 5;
        const std::size_t length = edid[at] & 0x1F;
        if (length >= end - at) {
            break;
        }
        const auto tz_at = [&](std::size_t offset) {
            return edid[offset] == 'T' && edid[offset + 1] == 'Z' && edid[offset + 2] == 0x01;
        };
        if (tag == 3 && edid[at + 1] == 0 && edid[at + 2] == 0 && edid[at + 3] == 0 && tz_at(at + 4)) {
            return at + 7;
        }
        if (tag == 7 && edid[at + 1] == 0x01 && edid[at + 2] == 0 && edid[at + 3] == 0 && edid[at + 4] == 0
            && tz_at(at + 5)) {
            return at + 8;
        }
        at += length + 1;
    }
    return std::nullopt;
}

TEST(edid_builder, every_default_profile_is_a_valid_edid_that_describes_its_panel)
{
    const auto& panels = sim::default_panels();
    for (std::size_t slot = 0; slot < panels.size(); ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const auto& panel = panels[slot];
        const edid_block edid = sim::build_edid(panel);

        const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
        EXPECT_TRUE(std::equal(std::begin(header), std::end(header), edid.begin()));
        EXPECT_TRUE(checksum_ok(edid, 0));
        EXPECT_TRUE(checksum_ok(edid, 128));
        EXPECT_EQ(edid[126], 1);

        const std::size_t d = 54;  // the detailed timing descriptor
        EXPECT_NE(edid[d] | edid[d + 1], 0);
        EXPECT_EQ(edid[d + 2] + 256 * (edid[d + 4] >> 4), panel.width_px);
        EXPECT_EQ(edid[d + 5] + 256 * (edid[d + 7] >> 4), panel.height_px);
        EXPECT_EQ(edid[d + 12] + 256 * (edid[d + 14] >> 4), panel.width_mm);
        EXPECT_EQ(edid[d + 13] + 256 * (edid[d + 14] & 0x0F), panel.height_mm);

        EXPECT_EQ(descriptor_text(edid, 0xFC), panel.product_name);
        EXPECT_EQ(descriptor_text(edid, 0xFE), panel.data_string);

        const auto payload = device_payload(edid);
        ASSERT_TRUE(payload.has_value());
        EXPECT_EQ(edid[*payload], panel.format_code);
        EXPECT_EQ(edid[*payload + 2] | (edid[*payload + 3] << 8), panel.can_bus);
        EXPECT_EQ(edid[*payload + 4] | (edid[*payload + 5] << 8), panel.ecu);
    }
}

TEST(edid_builder, slots_differ_in_panel_name_and_device_placement)
{
    std::set<std::tuple<int, int, int, int>> geometries;
    std::set<std::string> names;
    std::set<int> ecus;
    std::set<int> buses;
    bool extended_form = false;
    for (const auto& panel : sim::default_panels()) {
        geometries.insert({panel.width_px, panel.height_px, panel.width_mm, panel.height_mm});
        names.insert(panel.product_name);
        ecus.insert(panel.ecu);
        buses.insert(panel.can_bus);
        extended_form = extended_form || panel.extended_tag_block;
    }
    EXPECT_EQ(geometries.size(), 8U);
    EXPECT_EQ(names.size(), 8U);
    EXPECT_EQ(ecus, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(buses, (std::set<int>{0, 1, 2}));
    EXPECT_TRUE(extended_form);
}

TEST(edid_builder, thirteen_character_name_fills_the_field_without_line_feed)
{
    sim::panel_description panel = sim::default_panels()[0];
    panel.product_name = "ABCDEFGHIJKLM";
    const auto edid = sim::build_edid(panel);
    EXPECT_EQ(std::string(edid.begin() + 77, edid.begin() + 90), "ABCDEFGHIJKLM");
    panel.product_name = "ABCDEFGHIJKLMN";
    EXPECT_THROW(sim::build_edid(panel), std::invalid_argument);
}

}  // namespace
}  // namespace vistrel::sim_test
