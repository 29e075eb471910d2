#include "console/events/profile_row.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iomanip>
#include <optional>
#include <span>
#include <sstream>
#include <string_view>

#include "console/events/command_context.hpp"
#include "console/events/device_block.hpp"
#include "console/events/edid_checks.hpp"

namespace vistrel {

namespace {

constexpr std::size_t descriptor_size = 18;
constexpr std::array<std::size_t, 4> descriptor_offsets{54, 72, 90, 108};
constexpr std::uint8_t part_number_tag = 0xFC;
constexpr std::uint8_t data_string_tag = 0xFE;
constexpr std::size_t text_first = 5;
constexpr std::size_t text_last = 17;

using descriptor = std::span<const std::uint8_t, descriptor_size>;

descriptor descriptor_at(const edid_bytes& edid, std::size_t offset)
{
    return descriptor(edid.data() + offset, descriptor_size);
}

// The first descriptor with a pixel clock, that is a detailed timing.
std::optional<descriptor> find_timing(const edid_bytes& edid)
{
    for (const std::size_t offset : descriptor_offsets) {
        const descriptor d = descriptor_at(edid, offset);
        if (d[0] != 0 || d[1] != 0) {
            return d;
        }
    }
    return std::nullopt;
}

// The text of the first text descriptor with `tag`: up to a line feed that only spaces
// follow, else all 13 bytes.
std::optional<std::string> find_text(const edid_bytes& edid, std::uint8_t tag)
{
    for (const std::size_t offset : descriptor_offsets) {
        const descriptor d = descriptor_at(edid, offset);
        if (d[0] != 0 || d[1] != 0 || d[3] != tag) {
            continue;
        }
        std::size_t last = text_last;
        while (last > text_first && d[last] == ' ') {
            --last;
        }
        const std::size_t length = d[last] == '\n' ? last - text_first : text_last - text_first + 1;
        const auto* first = reinterpret_cast<const char*>(d.data() + text_first);
        return std::string(first, length);
    }
    return std::nullopt;
}

std::string_view shown(const std::string& text)
{
    return text.empty() ? std::string_view("<empty>") : std::string_view(text);
}

void put_resolution(std::ostream& out, descriptor timing, bool with_labels)
{
    const unsigned horizontal = timing[2] + 256U * (timing[4] >> 4U);
    const unsigned vertical = timing[5] + 256U * (timing[7] >> 4U);
    if (with_labels) {
        out << "resolution: ";
    }
    out << std::right << std::setw(4) << horizontal << "x" << std::left << std::setw(4) << vertical
        << " px ";
}

void put_screen_size(std::ostream& out, descriptor timing, bool with_labels)
{
    const unsigned horizontal = timing[12] + 256U * (timing[14] >> 4U);
    const unsigned vertical = timing[13] + 256U * (timing[14] & 0x0FU);
    // The diagonal in tenths of an inch, rounded up unless it lies less than 0.1 tenth
    // above a whole tenth.
    const double tenths = std::sqrt(double(horizontal) * horizontal + double(vertical) * vertical) / 2.54;
    const double whole = std::floor(tenths);
    auto shown_tenths = static_cast<unsigned>(whole);
    if (tenths - whole >= 0.1) {
        ++shown_tenths;
    }
    if (with_labels) {
        out << "screen size: ";
    }
    out << std::right << std::setw(2) << shown_tenths / 10 << "." << shown_tenths % 10 << "\"       ";
}

}  // namespace

std::string format_profile_row(const edid_bytes& edid, bool with_labels)
{
    std::ostringstream out;
    if (!edid_checksum_ok(edid_base_block(edid))) {
        out << "<EDID checksum verification failed!> ";
    }
    if (!edid_header_ok(edid)) {
        out << "<EDID unrecognized header pattern> ";
    }

    const std::optional<descriptor> timing = find_timing(edid);
    if (timing) {
        put_resolution(out, *timing, with_labels);
        out << "| ";
        put_screen_size(out, *timing, with_labels);
        out << "| ";
    } else {
        out << "unknown  | " << "unknown    | ";
    }

    if (const std::optional<std::string> part_number = find_text(edid, part_number_tag)) {
        if (with_labels) {
            out << "part number: ";
        }
        out << std::left << std::setw(14) << shown(*part_number);
    } else {
        out << "unknown    ";
    }

    const command_context* context = current_command_context;
    if (context != nullptr && context->show_data_string != 0) {
        out << "| ";
        if (const std::optional<std::string> data_string = find_text(edid, data_string_tag)) {
            if (with_labels) {
                out << "data string: ";
            }
            out << "\"" << std::left << std::setw(12) << shown(*data_string) << "\" ";
        } else {
            out << "no data string";
        }
    }

    const std::string device_info = format_device_info(edid);
    if (!device_info.empty()) {
        out << " " << device_info;
    }
    return out.str();
}

}  // namespace vistrel
