#include "console/events/profile.hpp"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

#include "console/events/command_context.hpp"

namespace vistrel {

bool edid_checksum_ok(edid_block block)
{
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : block) {
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    return sum == 0;
}

bool edid_header_ok(const edid_bytes& edid)
{
    constexpr std::array<std::uint8_t, 8> header{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    return std::equal(header.begin(), header.end(), edid.begin());
}

namespace {

constexpr std::size_t extension_count_offset = 126;
constexpr std::size_t collection_start = 4;
constexpr std::uint8_t cta_extension_tag = 0x02;
constexpr std::uint8_t cta_revision = 0x03;
constexpr unsigned vendor_specific_tag = 3;
constexpr unsigned extended_tag = 7;
constexpr std::uint8_t vendor_specific_video_code = 0x01;
constexpr std::uint8_t device_block_version = 0x01;

// Reads byte `offset` of the extension block; offsets past its end read as zero.
std::uint8_t byte_at(edid_block extension, std::size_t offset)
{
    return offset < extension.size() ? extension[offset] : std::uint8_t{0};
}

// Checks `zeros` zero bytes from `first`, then "TZ" and the version byte.
bool signature_at(edid_block extension, std::size_t first, std::size_t zeros)
{
    for (std::size_t i = 0; i < zeros; ++i) {
        if (byte_at(extension, first + i) != 0) {
            return false;
        }
    }
    const std::size_t at = first + zeros;
    return byte_at(extension, at) == 'T' && byte_at(extension, at + 1) == 'Z'
        && byte_at(extension, at + 2) == device_block_version;
}

device_block_payload payload_at(edid_block extension, std::size_t start)
{
    device_block_payload payload{};
    for (std::size_t i = 0; i < payload.size(); ++i) {
        payload[i] = byte_at(extension, start + i);
    }
    return payload;
}

bool names_readable(std::uint8_t format)
{
    return format == 0x01 || format == 0x10 || format == 0x11;
}

}  // namespace

std::optional<device_block_payload> find_device_block(edid_block extension)
{
    if (extension[0] != cta_extension_tag || extension[1] != cta_revision) {
        return std::nullopt;
    }
    // The collection never reaches past the block, whatever byte 2 claims.
    std::size_t end = extension[2];
    if (end > extension.size()) {
        end = extension.size();
    }
    std::size_t header = collection_start;
    while (header < end) {
        const unsigned tag = extension[header] >> 5U;
        const std::size_t length = extension[header] & 0x1FU;
        if (length >= end - header) {
            break;
        }
        if (tag == vendor_specific_tag && signature_at(extension, header + 1, 3)) {
            return payload_at(extension, header + 7);
        }
        if (tag == extended_tag && byte_at(extension, header + 1) == vendor_specific_video_code
            && signature_at(extension, header + 2, 3)) {
            return payload_at(extension, header + 8);
        }
        header += length + 1;
    }
    return std::nullopt;
}

std::string format_device_info(const edid_bytes& edid)
{
    if (edid[extension_count_offset] == 0) {
        return {};
    }
    const edid_block extension = edid_extension_block(edid);
    const std::optional<device_block_payload> payload = find_device_block(extension);
    if (!payload) {
        return {};
    }
    std::optional<std::string_view> ecu;
    std::optional<std::string_view> can_bus;
    if (names_readable((*payload)[0])) {
        can_bus = name_at(can_bus_names, (*payload)[2] | ((*payload)[3] << 8U));
        ecu = name_at(ecu_names, (*payload)[4] | ((*payload)[5] << 8U));
    }
    std::ostringstream out;
    const auto column = [&out](std::optional<std::string_view> name) {
        if (name) {
            out << std::setw(7) << *name;
        } else {
            out << "unknown";
        }
    };
    out << std::left << "| ";
    column(ecu);
    out << " | ";
    column(can_bus);
    if (!edid_checksum_ok(extension)) {
        out << "<checksum verification failed>";
    }
    return out.str();
}

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
    out << std::right << std::setw(4) << horizontal << "x" << std::left << std::setw(4) << vertical << " px ";
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
        out << "unknown  | "
            << "unknown    | ";
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
