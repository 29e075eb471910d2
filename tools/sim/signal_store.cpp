#include "tools/sim/signal_store.hpp"

#include <cmath>

namespace vistrel::sim {
namespace {

constexpr std::string_view text_init = "Init";
constexpr std::string_view text_error = "Fehler";

constexpr std::array<signal_definition, signal_store::count> definitions{{
    {1, "DI_KL_58xd", "1", 1.0, 253, 254, 255, false, physical_form::plain_number},
    {2, "DI_KL_58xs", "%", 0.5, 200, 254, 255, false, physical_form::numerical_object},
    {3, "DI_Display_Nachtdesign", "", 1.0, 1, -1, -1, false, physical_form::plain_number},
    {4, "DI_KL_58xt", "%", 1.0, 100, 126, 127, false, physical_form::numerical_object},
    {5, "LS_Helligkeit_FW", "lx", 6.0, 1021, 1022, 1023, false, physical_form::numerical_object},
    {6, "RLS_Vorfeldhelligkeit_Boost", "", 1.0, 15, -1, -1, true, physical_form::none},
}};

constexpr std::array<std::string_view, 16> band_names{
    "groesser_24413_Lux", "bis_24413_Lux", "bis_22193_Lux", "bis_20176_Lux", "bis_18342_Lux", "bis_16647_Lux",
    "bis_15158_Lux",      "bis_13780_Lux", "bis_12527_Lux", "bis_11388_Lux", "bis_10353_Lux", "bis_9412_Lux",
    "bis_8556_Lux",       "bis_7778_Lux",  "bis_7071_Lux",  "bis_6428_Lux"};

signal_error out_of_range(const signal_definition& definition)
{
    return {can_value_out_of_range, "value out of range for " + std::string(definition.name)};
}

signal_error invalid_value(const signal_definition& definition)
{
    return {can_invalid_value, "invalid value for " + std::string(definition.name)};
}

// A number in JSON: whole values as integers, others as reals.
json number_value(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 1e15) {
        return static_cast<long long>(value);
    }
    return value;
}

std::optional<double> numeric(const json& value)
{
    if (value.is_number()) {
        return value.get<double>();
    }
    if (value.is_object()) {
        const auto numerical = value.find("numerical");
        if (numerical != value.end() && numerical->is_number()) {
            return numerical->get<double>();
        }
    }
    return std::nullopt;
}

}  // namespace

signal_store::signal_store()
{
    raw_ = {200, 160, 0, 50, 1022, 15};
}

const signal_definition* signal_store::find(long long code)
{
    if (code < 1 || code > static_cast<long long>(count)) {
        return nullptr;
    }
    return &definitions[static_cast<std::size_t>(code - 1)];
}

json signal_store::identifier(const signal_definition& definition)
{
    json result = json::object();
    result["code"] = definition.code;
    result["name"] = definition.name;
    return result;
}

json signal_store::value(const signal_definition& definition) const
{
    const int raw_value = raw_[index(definition)];
    json result = json::object();
    result["raw"] = raw_value;
    if (definition.lux_bands) {
        result["textual"] = band_names.at(static_cast<std::size_t>(raw_value));
        return result;
    }
    if (raw_value == definition.raw_init) {
        result["textual"] = text_init;
        return result;
    }
    if (raw_value == definition.raw_error) {
        result["textual"] = text_error;
        return result;
    }
    const json physical = number_value(raw_value * definition.factor);
    if (definition.form == physical_form::numerical_object) {
        json object = json::object();
        object["numerical"] = physical;
        object["unit"] = definition.unit;
        result["physical"] = std::move(object);
    } else {
        result["physical"] = physical;
    }
    return result;
}

std::optional<signal_error> signal_store::set(const signal_definition& definition, const json& value)
{
    if (!value.is_object()) {
        return signal_error{can_invalid_value, "missing value for " + std::string(definition.name)};
    }
    int& target = raw_[index(definition)];

    if (const auto textual = value.find("textual"); textual != value.end()) {
        if (!textual->is_string()) {
            return invalid_value(definition);
        }
        const auto& text = textual->get_ref<const std::string&>();
        if (definition.lux_bands) {
            for (std::size_t band = 0; band < band_names.size(); ++band) {
                if (band_names[band] == text) {
                    target = static_cast<int>(band);
                    return std::nullopt;
                }
            }
            return invalid_value(definition);
        }
        if (text == text_init && definition.raw_init >= 0) {
            target = definition.raw_init;
            return std::nullopt;
        }
        if (text == text_error && definition.raw_error >= 0) {
            target = definition.raw_error;
            return std::nullopt;
        }
        return invalid_value(definition);
    }

    if (const auto physical = value.find("physical"); physical != value.end()) {
        const auto number = numeric(*physical);
        if (!number || !std::isfinite(*number)) {
            return invalid_value(definition);
        }
        const double raw_value = std::round(*number / definition.factor);
        if (raw_value < 0 || raw_value > definition.raw_max) {
            return out_of_range(definition);
        }
        target = static_cast<int>(raw_value);
        return std::nullopt;
    }

    if (const auto raw_member = value.find("raw"); raw_member != value.end()) {
        if (!raw_member->is_number_integer()) {
            return invalid_value(definition);
        }
        const bool negative = raw_member->is_number_unsigned() ? false : raw_member->get<long long>() < 0;
        const unsigned long long raw_value = negative ? 0 : raw_member->get<unsigned long long>();
        const bool named = definition.raw_init >= 0
            && (raw_value == static_cast<unsigned>(definition.raw_init)
                || raw_value == static_cast<unsigned>(definition.raw_error));
        if (negative || (raw_value > static_cast<unsigned>(definition.raw_max) && !named)) {
            return out_of_range(definition);
        }
        target = static_cast<int>(raw_value);
        return std::nullopt;
    }
    return signal_error{can_invalid_value, "missing value for " + std::string(definition.name)};
}

}  // namespace vistrel::sim
