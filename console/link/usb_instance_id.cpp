#include "console/link/usb_instance_id.hpp"

#include <charconv>
#include <cstddef>

namespace vistrel {

namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool starts_with_folded(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upper(text[i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Exactly `digits` hex digits.
std::optional<unsigned> hex_value(std::string_view text, std::size_t digits)
{
    if (text.size() != digits) {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, result] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (result != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<usb_instance_id> parse_usb_instance_id(std::string_view id)
{
    constexpr std::string_view enumerator = "USB\\";
    if (!starts_with_folded(id, enumerator)) {
        return std::nullopt;
    }
    id.remove_prefix(enumerator.size());
    // The identity ends at the next backslash; the instance part after it is not read.
    std::string_view identity = id.substr(0, id.find('\\'));

    std::optional<unsigned> vendor;
    std::optional<unsigned> product;
    std::optional<unsigned> interface_number;
    while (true) {
        const std::size_t amp = identity.find('&');
        const std::string_view part = identity.substr(0, amp);
        if (starts_with_folded(part, "VID_")) {
            if (vendor || !(vendor = hex_value(part.substr(4), 4))) {
                return std::nullopt;
            }
        } else if (starts_with_folded(part, "PID_")) {
            if (product || !(product = hex_value(part.substr(4), 4))) {
                return std::nullopt;
            }
        } else if (starts_with_folded(part, "MI_")) {
            if (interface_number || !(interface_number = hex_value(part.substr(3), 2))) {
                return std::nullopt;
            }
        }
        if (amp == std::string_view::npos) {
            break;
        }
        identity.remove_prefix(amp + 1);
    }
    if (!vendor || !product) {
        return std::nullopt;
    }
    usb_instance_id result;
    result.vendor_id = static_cast<std::uint16_t>(*vendor);
    result.product_id = static_cast<std::uint16_t>(*product);
    if (interface_number) {
        result.interface_number = static_cast<std::uint8_t>(*interface_number);
    }
    return result;
}

}  // namespace vistrel
