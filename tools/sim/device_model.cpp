#include "tools/sim/device_model.hpp"

#include <optional>

#include "tools/sim/base64.hpp"

namespace vistrel::sim {
namespace {

constexpr std::string_view sort_information = "information";
constexpr std::string_view sort_download = "download";
constexpr std::string_view sort_upload = "upload";
constexpr std::string_view sort_reset = "reset";
constexpr std::string_view sort_signal = "signal";

json version_object(const item_version& version)
{
    json object = json::object();
    object["major"] = version.major;
    object["minor"] = version.minor;
    if (!version.note.empty()) {
        object["note"] = version.note;
    }
    return object;
}

json version_item(std::string_view name, const item_version& version)
{
    json item = json::object();
    item["item"] = name;
    item["version"] = version_object(version);
    return item;
}

json unknown_request(category value)
{
    return make_error(value, error_number(value, unknown_request_code), "unknown request");
}

json invalid_data(category value, std::string_view what)
{
    return make_error(value, error_number(value, invalid_data_code), what);
}

std::optional<long long> integer_member(const json& item, const char* key)
{
    if (!item.is_object()) {
        return std::nullopt;
    }
    const auto member = item.find(key);
    if (member == item.end() || !member->is_number_integer()) {
        return std::nullopt;
    }
    if (member->is_number_unsigned() && member->get<unsigned long long>() > 0x7FFFFFFFULL) {
        return 0x7FFFFFFFLL;  // far out of every range
    }
    return member->get<long long>();
}

// The "data" array of a request, or null when it has none.
const json* data_array(const json& body)
{
    const auto data = body.find("data");
    if (data == body.end()) {
        return nullptr;
    }
    return &*data;
}

// The slot numbers named by the items of "data"; every slot when "data" is missing and
// `all_when_missing` is set. Nothing when an item does not name a slot by an integer.
std::optional<std::vector<long long>> requested_slots(const json& body, bool all_when_missing)
{
    const json* data = data_array(body);
    std::vector<long long> slots;
    if (data == nullptr) {
        if (!all_when_missing) {
            return std::nullopt;
        }
        for (int slot = 0; slot < profile_store::slot_count; ++slot) {
            slots.push_back(slot);
        }
        return slots;
    }
    if (!data->is_array()) {
        return std::nullopt;
    }
    for (const auto& item : *data) {
        const auto slot = integer_member(item, "profile");
        if (!slot) {
            return std::nullopt;
        }
        slots.push_back(*slot);
    }
    return slots;
}

json can_error(int number, std::string_view message, json identifier)
{
    json data = json::array();
    if (!identifier.is_null()) {
        json item = json::object();
        item["identifier"] = std::move(identifier);
        data.push_back(std::move(item));
    }
    return make_error(category::can, number, message, std::move(data));
}

json unknown_signal(long long code)
{
    json identifier = json::object();
    identifier["code"] = code;
    return can_error(can_unknown_signal, "unknown signal", std::move(identifier));
}

std::optional<long long> signal_code(const json& item)
{
    if (!item.is_object()) {
        return std::nullopt;
    }
    const auto identifier = item.find("identifier");
    if (identifier == item.end()) {
        return std::nullopt;
    }
    return integer_member(*identifier, "code");
}

}  // namespace

device_model::device_model(device_identity identity, profile_store profiles)
    : identity_(std::move(identity)), profiles_(std::move(profiles))
{
}

std::vector<json> device_model::answer(const device_request& request, const std::set<int>& unavailable_signals)
{
    if (!request.readable) {
        return {make_json_error(request.error_code, request.error_message, request.error_position)};
    }
    switch (*request.category) {
    case category::system:
        return answer_system(request);
    case category::user_profiles:
        return answer_profiles(request);
    case category::can:
        return answer_can(request, unavailable_signals);
    case category::hid:
    case category::json_category:
        break;
    }
    return {unknown_request(*request.category)};
}

std::vector<json> device_model::answer_system(const device_request& request)
{
    if (request.case_name != case_get || request.sort != sort_information) {
        return {unknown_request(category::system)};
    }
    json data = json::array();
    data.push_back(version_item("hardware", identity_.hardware));
    data.push_back(version_item("firmware", identity_.firmware));
    json schema = version_item("JSON schema", identity_.json_schema);
    schema["url"] = identity_.schema_url;
    data.push_back(std::move(schema));
    return {make_message(category::system, case_state, sort_information, std::move(data))};
}

std::vector<json> device_model::answer_profiles(const device_request& request)
{
    constexpr category own = category::user_profiles;
    const bool get = request.case_name == case_get;
    const bool set = request.case_name == case_set;

    if (get && request.sort == sort_download) {
        const auto slots = requested_slots(request.body, true);
        if (!slots) {
            return {invalid_data(own, "profile numbers expected")};
        }
        json data = json::array();
        for (const long long slot : *slots) {
            if (!profile_store::has_slot(slot)) {
                continue;
            }
            json item = json::object();
            item["profile"] = slot;
            item["edid"] = base64_encode(profiles_.slot(static_cast<int>(slot)));
            data.push_back(std::move(item));
        }
        return {make_message(own, case_state, sort_download, std::move(data))};
    }

    if (set && request.sort == sort_upload) {
        const json* data = data_array(request.body);
        if (data == nullptr || !data->is_array()) {
            return {invalid_data(own, "profiles expected")};
        }
        // Check every item before storing any, so a failed upload changes nothing.
        std::vector<std::pair<int, profile_store::edid_bytes>> uploads;
        for (const auto& item : *data) {
            const auto slot = integer_member(item, "profile");
            const auto edid = item.is_object() ? item.find("edid") : item.end();
            if (!slot || edid == item.end() || !edid->is_string()) {
                return {invalid_data(own, "profile and edid expected")};
            }
            if (!profile_store::has_slot(*slot)) {
                return {make_error(own, error_number(own, no_such_slot_code), "no such profile slot")};
            }
            auto bytes = base64_decode(edid->get_ref<const std::string&>());
            if (!bytes || bytes->empty() || bytes->size() > contract::edid_size) {
                return {make_error(own, error_number(own, invalid_edid_code), "invalid EDID")};
            }
            uploads.emplace_back(static_cast<int>(*slot), std::move(*bytes));
        }
        for (auto& [slot, bytes] : uploads) {
            profiles_.store(slot, std::move(bytes));
        }
        return {};
    }

    if (set && request.sort == sort_reset) {
        const auto slots = requested_slots(request.body, true);
        if (!slots) {
            return {invalid_data(own, "profile numbers expected")};
        }
        for (const long long slot : *slots) {
            if (!profile_store::has_slot(slot)) {
                return {make_error(own, error_number(own, no_such_slot_code), "no such profile slot")};
            }
        }
        for (const long long slot : *slots) {
            profiles_.reset(static_cast<int>(slot));
        }
        return {};
    }
    return {unknown_request(own)};
}

std::vector<json> device_model::answer_can(const device_request& request, const std::set<int>& unavailable)
{
    const bool get = request.case_name == case_get;
    const bool set = request.case_name == case_set;
    if ((!get && !set) || request.sort != sort_signal) {
        return {can_error(can_invalid_request, "unknown request", nullptr)};
    }
    const json* data = data_array(request.body);
    json all;
    if (data == nullptr && get) {
        all = json::array();
        for (long long code = 1; code <= static_cast<long long>(signal_store::count); ++code) {
            json item = json::object();
            item["identifier"] = signal_store::identifier(*signal_store::find(code));
            all.push_back(std::move(item));
        }
        data = &all;
    }
    if (data == nullptr || !data->is_array()) {
        return {can_error(can_invalid_request, "signals expected", nullptr)};
    }

    std::vector<json> errors;
    json values = json::array();
    for (const auto& item : *data) {
        const auto code = signal_code(item);
        if (!code) {
            errors.push_back(can_error(can_invalid_request, "signal identifier expected", nullptr));
            continue;
        }
        const signal_definition* definition = signal_store::find(*code);
        if (definition == nullptr) {
            errors.push_back(unknown_signal(*code));
            continue;
        }
        if (unavailable.contains(definition->code)) {
            errors.push_back(
                can_error(can_not_available, "signal not available", signal_store::identifier(*definition)));
            continue;
        }
        if (get) {
            json state = json::object();
            state["identifier"] = signal_store::identifier(*definition);
            state["value"] = signals_.value(*definition);
            values.push_back(std::move(state));
            continue;
        }
        // The value is read where it stands: a copy of a deeply nested one would take as much
        // stack as it has levels.
        static const json no_value;
        const auto value = item.find("value");
        const auto failure = signals_.set(*definition, value == item.end() ? no_value : *value);
        if (failure) {
            errors.push_back(can_error(failure->number, failure->message, signal_store::identifier(*definition)));
        }
    }

    std::vector<json> replies;
    if (get && (!values.empty() || errors.empty())) {
        replies.push_back(make_message(category::can, case_state, sort_signal, std::move(values)));
    }
    for (auto& error : errors) {
        replies.push_back(std::move(error));
    }
    return replies;
}

}  // namespace vistrel::sim
