// What both host programs (and the device simulator) rely on from the Vistrel device:
// its USB identity, the line framing, the reply time-outs and the message vocabulary.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string_view>

namespace vistrel::contract {

// USB identity of the device.
inline constexpr std::uint16_t vendor_id = 0x0483;
inline constexpr std::uint16_t product_id = 0x5740;
// The CDC port sits on one of the interfaces 0 to 4 of a composite device,
// or on the device itself when it is not composite.
inline constexpr std::uint8_t highest_interface = 4;

// Line framing: a request is one compact JSON object followed by one LF;
// a reply is one JSON value ended by LF, CR or CR LF. The record separator is never sent.
inline constexpr char line_feed = '\x0A';
inline constexpr char carriage_return = '\x0D';
inline constexpr char record_separator = '\x1E';

// Reply time-outs.
inline constexpr std::chrono::seconds console_default_timeout{2};
inline constexpr std::chrono::milliseconds dimming_reply_wait{500};

// Categories, as their texts appear in messages, indexed by category code.
inline constexpr std::array<std::string_view, 5> category_texts{"JSON", "system", "HID", "CAN", "user profiles"};
// Cases, as their texts appear in messages, indexed by case code.
inline constexpr std::array<std::string_view, 5> case_texts{"get", "set", "update", "state", "error"};

// Error numbers carry the category code in their second byte (0x0105: system, code 5).
// The CAN signal errors are 0x0300 to 0x03FF; their low byte is the signal error code.
// Code 21 (0x0315) marks a signal the device does not serve now; it is no answer.
inline constexpr int signal_error_first = 0x0300;
inline constexpr int signal_error_last = 0x03FF;
inline constexpr int signal_error_unavailable = 0x0315;

// The device keeps eight user profile slots, each an EDID of base block plus one extension.
inline constexpr int profile_slot_count = 8;
inline constexpr std::size_t edid_size = 256;

}  // namespace vistrel::contract
