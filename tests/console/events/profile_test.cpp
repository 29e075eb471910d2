#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/events/command_context.hpp"
#include "console/events/profile.hpp"
#include "tests/console/events/edid_builder.hpp"

namespace vistrel {
namespace {

using test::edid_builder;

constexpr std::uint8_t part_number = 0xFC;
constexpr std::uint8_t data_string = 0xFE;

// Makes a command with the data-string column current for the lifetime of the object.
class data_string_column {
public:
    explicit data_string_column(std::int32_t show = 1)
    {
        context.show_data_string = show;
        current_command_context = &context;
    }
    ~data_string_column() { current_command_context = nullptr; }
    data_string_column(const data_string_column&) = delete;
    data_string_column& operator=(const data_string_column&) = delete;

private:
    command_context context;
};

// A complete profile: 1920x720 on 293 mm x 110 mm, part number, data string, and the
// device block for ECU HUD on CAN bus MIB.
edid_builder full_profile()
{
    edid_builder builder;
    builder.timing(0, 1920, 720, 293, 110)
        .text(1, part_number, "PN-1234\n")
        .text(2, data_string, "DS-01\n")
        .range_limits(3)
        .extension()
        .device_block(false, 0x01, 1, 4);
    return builder;
}

TEST(profile_row, full_row_fields)
{
    const edid_bytes edid = full_profile().build();
    EXPECT_EQ(format_profile_row(edid, false), "1920x720  px | 12.4\"       | PN-1234        | HUD     | MIB    ");
    EXPECT_EQ(format_profile_row(edid, true),
              "resolution: 1920x720  px | screen size: 12.4\"       | part number: PN-1234        | HUD     | MIB    ");

    const data_string_column column;
    EXPECT_EQ(format_profile_row(edid, false),
              "1920x720  px | 12.4\"       | PN-1234       | \"DS-01       \"  | HUD     | MIB    ");
    EXPECT_EQ(format_profile_row(edid, true),
              "resolution: 1920x720  px | screen size: 12.4\"       | part number: PN-1234       | data string: "
              "\"DS-01       \"  | HUD     | MIB    ");
}

TEST(profile_row, columns_line_up_with_the_list_heading)
{
    const std::string heading =
        "| profile slot | resolution   | screen size | part number   | data string     | ECU     | CAN BUS |";
    const data_string_column column;
    const std::string framed = "|      3       | " + format_profile_row(full_profile().build(), false) + " |";

    auto bars = [](const std::string& line) {
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '|') {
                at.push_back(i);
            }
        }
        return at;
    };
    EXPECT_EQ(bars(framed), bars(heading)) << framed << "\n" << heading;
    EXPECT_EQ(framed.size(), heading.size());
}

TEST(profile_row, data_string_only_when_the_running_command_asks)
{
    const edid_bytes edid = full_profile().build();
    const std::string without = format_profile_row(edid, false);
    {
        const data_string_column hidden(0);
        EXPECT_EQ(format_profile_row(edid, false), without);
    }
    const data_string_column shown;
    edid_builder no_data_string;
    no_data_string.timing(0, 1920, 720, 293, 110).text(1, part_number, "PN-1234\n");
    EXPECT_EQ(format_profile_row(no_data_string.build(), false),
              "1920x720  px | 12.4\"       | PN-1234       | no data string");
}

struct resolution_case {
    unsigned h_pixels, v_pixels;
    const char* field;
};

TEST(profile_row, resolution_field)
{
    const resolution_case cases[] = {
        {1920, 720, "1920x720  px "},
        {800, 480, " 800x480  px "},
        {4095, 4095, "4095x4095 px "},
        {1, 1, "   1x1    px "},
    };
    for (const auto& c : cases) {
        edid_builder builder;
        builder.timing(0, c.h_pixels, c.v_pixels, 100, 50);
        EXPECT_EQ(format_profile_row(builder.build(), false).substr(0, 13), c.field) << c.h_pixels << "x" << c.v_pixels;
    }
}

struct screen_case {
    unsigned h_mm, v_mm;
    const char* field;
};

TEST(profile_row, screen_size_rounding)
{
    const screen_case cases[] = {
        {293, 110, "12.4\"       "},  // 123.2 tenths
        {156, 89, " 7.1\"       "},  // 70.7 tenths
        {310, 174, "14.0\"       "},  // 139.96 tenths
        {254, 0, "10.0\"       "},  // exactly 100 tenths
        {255, 0, "10.1\"       "},  // 100.39 tenths
        {0, 0, " 0.0\"       "},     {4095, 4095, "228.0\"       "},  // wider than its column; nothing is cut
    };
    for (const auto& c : cases) {
        edid_builder builder;
        builder.timing(0, 1920, 720, c.h_mm, c.v_mm);
        const std::string row = format_profile_row(builder.build(), false);
        EXPECT_EQ(row.substr(15, std::string(c.field).size()), c.field) << c.h_mm << "x" << c.v_mm << ": " << row;
    }
}

TEST(profile_row, timing_is_the_first_descriptor_with_a_pixel_clock)
{
    edid_builder builder;
    builder.range_limits(0).text(1, part_number, "X\n").timing(2, 1024, 600, 156, 89).timing(3, 640, 480, 1, 1);
    EXPECT_EQ(format_profile_row(builder.build(), false), "1024x600  px |  7.1\"       | X             ");
}

struct text_case {
    const char* name;
    std::string bytes;  // the 13 bytes of the text field
    std::string shown;  // the part number field
};

TEST(profile_row, part_number_text)
{
    const text_case cases[] = {
        {"line feed then spaces", "ABC\n         ", "ABC           "},
        {"trailing spaces without line feed", "ABC          ", "ABC           "},
        {"line feed at the first byte", "\n            ", "<empty>       "},
        {"all spaces", "             ", "              "},
        {"thirteen letters", "ABCDEFGHIJKLM", "ABCDEFGHIJKLM "},
        {"line feed followed by text", "AB\nCD        ", "AB\nCD         "},
    };
    for (const auto& c : cases) {
        edid_builder builder;
        builder.timing(0, 1920, 720, 293, 110).text(3, part_number, c.bytes);
        EXPECT_EQ(format_profile_row(builder.build(), false), "1920x720  px | 12.4\"       | " + c.shown) << c.name;
    }
}

TEST(profile_row, data_string_text)
{
    const text_case cases[] = {
        {"line feed then spaces", "ABC\n         ", "\"ABC         \" "},
        {"line feed at the first byte", "\n            ", "\"<empty>     \" "},
        {"thirteen letters", "ABCDEFGHIJKLM", "\"ABCDEFGHIJKLM\" "},
    };
    const data_string_column column;
    for (const auto& c : cases) {
        edid_builder builder;
        builder.text(0, data_string, c.bytes);
        EXPECT_EQ(format_profile_row(builder.build(), false), "unknown  | unknown    | unknown    | " + c.shown)
            << c.name;
    }
}

TEST(profile_row, all_zero_edid)
{
    const edid_bytes zeros{};
    EXPECT_TRUE(edid_checksum_ok(edid_base_block(zeros)));
    EXPECT_FALSE(edid_header_ok(zeros));
    EXPECT_EQ(format_profile_row(zeros, false),
              "<EDID unrecognized header pattern> unknown  | unknown    | unknown    ");
    const data_string_column column;
    EXPECT_EQ(format_profile_row(zeros, false),
              "<EDID unrecognized header pattern> unknown  | unknown    | unknown    | no data string");
}

TEST(profile_row, checksum_and_header_notes)
{
    edid_builder broken_sum;
    broken_sum.timing(0, 800, 480, 156, 89).wrong_base_checksum();
    EXPECT_EQ(format_profile_row(broken_sum.build(), false),
              "<EDID checksum verification failed!>  800x480  px |  7.1\"       | unknown    ");

    edid_bytes both = broken_sum.build();
    both[1] = 0x00;  // breaks the header; the checksum stays wrong
    EXPECT_EQ(format_profile_row(both, false),
              "<EDID checksum verification failed!> <EDID unrecognized header pattern>  800x480  px |  7.1\"       | "
              "unknown    ");
}

struct device_case {
    const char* name;
    edid_builder builder;
    std::string device_info;  // format_device_info
};

TEST(profile_row, device_info)
{
    auto with = [](auto&& change) {
        edid_builder builder;
        builder.extension();
        change(builder);
        return builder;
    };
    const device_case cases[] = {
        {"vendor block", with([](edid_builder& b) { b.device_block(false, 0x01, 1, 4); }), "| HUD     | MIB    "},
        {"extended tag block", with([](edid_builder& b) { b.device_block(true, 0x01, 2, 3); }), "| iID/FID | AB     "},
        {"format 0x10", with([](edid_builder& b) { b.device_block(false, 0x10, 0, 0); }), "| NONE    | NONE   "},
        {"format 0x11", with([](edid_builder& b) { b.device_block(true, 0x11, 0, 5); }), "| PID     | NONE   "},
        {"format 0x02", with([](edid_builder& b) { b.device_block(false, 0x02, 1, 4); }), "| unknown | unknown"},
        {"unknown ECU", with([](edid_builder& b) { b.device_block(false, 0x01, 1, 6); }), "| unknown | MIB    "},
        {"unknown CAN bus", with([](edid_builder& b) { b.device_block(false, 0x01, 3, 2); }), "| CDD     | unknown"},
        {"indexes above 255", with([](edid_builder& b) { b.device_block(false, 0x01, 0x0101, 0x0100); }),
         "| unknown | unknown"},
        {"wrong extension checksum",
         with([](edid_builder& b) { b.device_block(false, 0x01, 1, 1).wrong_extension_checksum(); }),
         "| ABT     | MIB    <checksum verification failed>"},
        {"after other blocks", with([](edid_builder& b) {
             b.data_block({0x43, 0x01, 0x02, 0x03})  // video block
                 .data_block({0x66, 0x03, 0x0C, 0x00, 'T', 'Z', 1})  // another vendor
                 .device_block(false, 0x01, 2, 1);
         }),
         "| ABT     | AB     "},
        {"first match wins",
         with([](edid_builder& b) { b.device_block(true, 0x01, 1, 1).device_block(false, 0x01, 2, 2); }),
         "| ABT     | MIB    "},
        {"no device block", with([](edid_builder& b) {
             b.data_block({0x43, 0x01, 0x02, 0x03});
         }),
         ""},
        {"wrong signature", with([](edid_builder& b) {
             b.data_block({0x6A, 0, 0, 0, 'T', 'Y', 1, 1, 0, 1, 0});
         }),
         ""},
        {"other extension kind", with([](edid_builder& b) { b.extension(0x70, 0x03).device_block(false, 0x01, 1, 1); }),
         ""},
        {"CTA revision 2", with([](edid_builder& b) { b.extension(0x02, 0x02).device_block(false, 0x01, 1, 1); }), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format_device_info(c.builder.build()), c.device_info) << c.name;
    }
}

TEST(profile_row, device_info_ends_the_row)
{
    edid_builder builder = full_profile();
    builder.wrong_extension_checksum();
    EXPECT_EQ(format_profile_row(builder.build(), false),
              "1920x720  px | 12.4\"       | PN-1234        | HUD     | MIB    <checksum verification failed>");
}

TEST(profile_row, device_block_needs_an_extension_count)
{
    edid_bytes edid = full_profile().build();
    edid[126] = 0;
    EXPECT_EQ(format_device_info(edid), "");
}

TEST(profile_row, device_block_outside_the_collection_is_not_found)
{
    for (const int end : {0, 3, 4, 10}) {
        edid_bytes edid = full_profile().build();
        edid[128 + 2] = static_cast<std::uint8_t>(end);
        EXPECT_EQ(format_device_info(edid), "") << end;
    }
}

TEST(profile_row, device_block_reads_stay_inside_the_edid)
{
    // A block header near the end of the extension whose signature and payload would lie
    // past byte 255: the bytes beyond read as zero, so the block does not match.
    edid_bytes edid = edid_builder().extension().build();
    edid[128 + 2] = 255;  // the collection claims to run past the block
    for (std::size_t i = 128 + 4; i < 256; ++i) {
        edid[i] = 0x00;  // tag 0, length 0 blocks up to the end
    }
    edid[250] = 0x65;  // tag 3, length 5, signature cut off at the end
    edid[251] = 0;
    edid[252] = 0;
    edid[253] = 0;
    edid[254] = 'T';
    edid[255] = 'Z';
    EXPECT_FALSE(find_device_block(edid_extension_block(edid)));

    // A matching signature whose payload runs past the end: the missing bytes are zero.
    edid[248] = 0x67;  // tag 3, length 7
    edid[249] = 0;
    edid[250] = 0;
    edid[251] = 0;
    edid[252] = 'T';
    edid[253] = 'Z';
    edid[254] = 0x01;
    edid[255] = 0x01;  // format code; everything after it is past the end
    const auto payload = find_device_block(edid_extension_block(edid));
    ASSERT_TRUE(payload);
    EXPECT_EQ(*payload, (device_block_payload{0x01, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace vistrel
