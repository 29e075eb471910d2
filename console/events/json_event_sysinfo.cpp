#include "console/events/json_event_sysinfo.hpp"

#include <utility>

namespace vistrel {

std::string to_string(const item_version& version)
{
    std::string text = std::to_string(version.major) + "." + std::to_string(version.minor);
    if (!version.note.empty()) {
        text += ".";
        text += version.note;
    }
    return text;
}

json_data_version::json_data_version() : basic_json_data(1)
{
    key_table = {
        {"major", key_handler{value_type::integer, &pending.major, store_integer}},
        {"minor", key_handler{value_type::integer, &pending.minor, store_integer}},
        {"note", key_handler{value_type::string, &pending.note, store_string}},
    };
}

json_data_version::json_data_version(const json_data_version& other) : json_data_version()
{
    pending = other.pending;
}

json_data_version& json_data_version::operator=(const json_data_version& other)
{
    pending = other.pending;
    return *this;
}

bool json_data_version::present(item_version& target)
{
    if (pending.major == 0 && pending.minor == 0) {
        return false;
    }
    target.major = pending.major;
    target.minor = pending.minor;
    target.note = std::move(pending.note);
    pending = item_version{};
    return true;
}

json_event_sysinfo::item_reader::item_reader(system_information& target)
    : basic_json_data(
        1,
        {
            {"item", key_handler{value_type::string, &item, store_string}},
            {"version", key_handler{value_type::object, static_cast<parse_data_base*>(&version), store_nested}},
            {"url", key_handler{value_type::string, &url, store_string}},
        }),
      record(target)
{
}

json_event_sysinfo::item_reader::item_reader(system_information& target, const item_reader& other) : item_reader(target)
{
    item = other.item;
    version = other.version;
    url = other.url;
}

void json_event_sysinfo::item_reader::try_accept()
{
    if (item == "hardware") {
        if (version.present(record.hardware)) {
            item.clear();
        }
    } else if (item == "firmware") {
        if (version.present(record.firmware)) {
            item.clear();
        }
    } else if (item == "JSON schema") {
        if (!url.empty() && version.present(record.json_schema)) {
            record.schema_url = std::move(url);
            item.clear();
            url.clear();
        }
    }
}

void json_event_sysinfo::item_reader::start_item()
{
    item.clear();
    version = json_data_version();
    url.clear();
}

json_event_sysinfo::json_event_sysinfo(const json_event_base& envelope) : basic_json_event(envelope), internal(*this)
{
    fill(envelope);
    if (event_case == case_code::error) {
        throw json_event_sysinfo(*this);
    }
}

json_event_sysinfo::json_event_sysinfo(const json_event_sysinfo& other)
    : basic_json_event(other), system_information(other), internal(*this, other.internal)
{
}

parse_data_base& json_event_sysinfo::get_normal_data()
{
    require_sort(*this, "information");
    return items;
}

}  // namespace vistrel
