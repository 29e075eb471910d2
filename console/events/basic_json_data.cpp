#include "console/events/basic_json_data.hpp"

#include <stdexcept>
#include <string>

#include "console/events/string_text.hpp"
#include "console/events/value_type.hpp"

namespace vistrel {

int basic_json_data::on_value(int kind)
{
    if (kind == MINIJSON_KIND_ELEMENT) {
        on_key("__");
    } else if (kind == MINIJSON_KIND_MEMBER) {
        on_key(decode_string_text(key, key_length));
    }
    return 0;
}

void basic_json_data::on_key(std::string_view name)
{
    const auto found = key_table.find(name);
    if (found == key_table.end()) {
        throw std::out_of_range("invalid map<K, T> key");
    }
    const key_handler& handler = found->second;
    if (type != handler.expected_type) {
        throw std::runtime_error("inconsistent types ([" + value_type_name(type) + "] vs ["
                                 + value_type_name(handler.expected_type) + "])");
    }
    handler.store(handler.target, value_view{value, length, count});
    try_accept();
}

}  // namespace vistrel
