#include "console/events/json_event_sysinfo.hpp"

#include <utility>

#include "console/events/require_sort.hpp"
#include "console/events/value_type.hpp"

namespace vistrel {

json_event_sysinfo::item_reader::item_reader(system_information& target)
    : basic_json_data(2, {
          {"item", key_handler{value_type::string, &item, store_string}},
          {"version", key_handler{value_type::object, static_cast<parse_data_base*>(&version), store_nested}},
          {"url", key_handler{value_type::string, &url, store_string}},
      }),
      record(target)
{
}

json_event_sysinfo::item_reader::item_reader(system_information& target, const item_reader& other)
    : item_reader(target)
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

json_event_sysinfo::json_event_sysinfo(const json_event_base& envelope)
    : basic_json_event(envelope), internal(*this)
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
    return internal;
}

}  // namespace vistrel
