// Base64 (RFC 4648, standard alphabet) for the EDID texts of the profile exchanges.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::sim {

// Encodes with padding.
std::string base64_encode(std::span<const std::uint8_t> bytes);

// Decodes a text in the standard alphabet. The final group may lack its "=" padding.
// Returns nothing for characters outside the alphabet, misplaced padding or a dangling
// single character.
std::optional<std::vector<std::uint8_t>> base64_decode(std::string_view text);

}  // namespace vistrel::sim
