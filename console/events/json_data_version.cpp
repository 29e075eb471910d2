#include "console/events/json_data_version.hpp"

#include <utility>

#include "console/events/value_type.hpp"

namespace vistrel {

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

}  // namespace vistrel
