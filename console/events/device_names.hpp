// Names of the CAN buses and ECUs that the device's own EDID data block refers to by index.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace vistrel {

inline constexpr std::array<std::string_view, 3> can_bus_names{"NONE", "MIB", "AB"};
inline constexpr std::array<std::string_view, 6> ecu_names{"NONE", "ABT", "CDD", "iID/FID", "HUD", "PID"};

// The name at `index`, or none when the index lies outside the table.
inline std::optional<std::string_view> name_at(std::span<const std::string_view> table, std::size_t index)
{
    if (index >= table.size()) {
        return std::nullopt;
    }
    return table[index];
}

}  // namespace vistrel
