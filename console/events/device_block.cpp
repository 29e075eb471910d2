#include "console/events/device_block.hpp"

#include <cstddef>
#include <iomanip>
#include <sstream>

#include "console/events/device_names.hpp"
#include "console/events/edid_checks.hpp"

namespace vistrel {

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

// Checks "TZ" and the version byte at `at`, after `zeros` zero bytes starting at `first`.
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

}  // namespace vistrel
