// The six simulated dimming signals: their encoding on the CAN side and their current values.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "tools/sim/messages.hpp"

namespace vistrel::sim {

// How a numeric value is shown in a "value" object.
enum class physical_form { plain_number, numerical_object, none };

struct signal_definition {
    int code;
    std::string_view name;
    std::string_view unit;
    double factor;  // physical = raw * factor
    int raw_max;  // highest raw value of a number
    int raw_init;  // raw value of "Init", -1 when the signal has none
    int raw_error;  // raw value of "Fehler", -1 when the signal has none
    bool lux_bands;  // the raw value is a lux band, named in "textual"
    physical_form form;
};

struct signal_error {
    int number;
    std::string message;
};

// CAN signal error numbers.
inline constexpr int can_unknown_signal = 0x0301;
inline constexpr int can_value_out_of_range = 0x0302;
inline constexpr int can_invalid_value = 0x0303;
inline constexpr int can_invalid_request = 0x0304;
inline constexpr int can_not_available = contract::signal_error_unavailable;

class signal_store {
public:
    static constexpr std::size_t count = 6;

    // Start-up values: some numbers, "Init" for the brightness, the darkest lux band.
    signal_store();

    // The signal with this code, or null.
    static const signal_definition* find(long long code);

    // {"code": N, "name": "..."}
    static json identifier(const signal_definition& definition);
    // The "value" object of the current value: "raw" and "physical" or "textual".
    json value(const signal_definition& definition) const;
    int raw(const signal_definition& definition) const { return raw_[index(definition)]; }

    // Stores the value of a "value" object ("textual" before "physical" before "raw").
    std::optional<signal_error> set(const signal_definition& definition, const json& value);

private:
    static std::size_t index(const signal_definition& definition)
    {
        return static_cast<std::size_t>(definition.code - 1);
    }
    std::array<int, count> raw_{};
};

}  // namespace vistrel::sim
