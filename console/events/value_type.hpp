// The parser's value type codes and their names in messages.
#pragma once

#include <cstdint>
#include <string>

namespace vistrel {

namespace value_type {
inline constexpr std::uint32_t object = 1;
inline constexpr std::uint32_t array = 2;
inline constexpr std::uint32_t string = 4;
inline constexpr std::uint32_t integer = 8;
inline constexpr std::uint32_t real = 16;
inline constexpr std::uint32_t literal = 32;  // true, false and null
}  // namespace value_type

// "object", "array", ... or "unrecognized - " and the code as a signed number.
std::string value_type_name(std::uint32_t type);

}  // namespace vistrel
