#include "tools/sim/base64.hpp"

#include <array>

namespace vistrel::sim {
namespace {

constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> make_decode_table()
{
    std::array<int, 256> table{};
    for (auto& entry : table) {
        entry = -1;
    }
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<int>(i);
    }
    return table;
}

constexpr std::array<int, 256> decode_table = make_decode_table();

}  // namespace

std::string base64_encode(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        text += alphabet[(group >> 18) & 0x3F];
        text += alphabet[(group >> 12) & 0x3F];
        text += alphabet[(group >> 6) & 0x3F];
        text += alphabet[group & 0x3F];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest == 1) {
        const unsigned group = bytes[i] << 16;
        text += alphabet[(group >> 18) & 0x3F];
        text += alphabet[(group >> 12) & 0x3F];
        text += "==";
    } else if (rest == 2) {
        const unsigned group = (bytes[i] << 16) | (bytes[i + 1] << 8);
        text += alphabet[(group >> 18) & 0x3F];
        text += alphabet[(group >> 12) & 0x3F];
        text += alphabet[(group >> 6) & 0x3F];
        text += '=';
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> base64_decode(std::string_view text)
{
    // Padding may only close the text: strip it, then check what is left.
    std::size_t padding = 0;
    while (!text.empty() && text.back() == '=' && padding < 2) {
        text.remove_suffix(1);
        ++padding;
    }
    if (padding > 0 && (text.size() + padding) % 4 != 0) {
        return std::nullopt;
    }
    if (text.size() % 4 == 1) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 3 / 4);
    unsigned group = 0;
    int bits = 0;
    for (const char c : text) {
        const int value = decode_table[static_cast<unsigned char>(c)];
        if (value < 0) {
            return std::nullopt;
        }
        group = (group << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<std::uint8_t>((group >> bits) & 0xFF));
        }
    }
    return bytes;
}

}  // namespace vistrel::sim
