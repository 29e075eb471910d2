#include <cstring>
#include <string>

#include "console/events/key_handler.hpp"
#include "console/events/parse_nested.hpp"
#include "console/events/string_text.hpp"

namespace vistrel {

void store_integer(void* target, const value_view& value)
{
    const auto low = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value.value.integer));
    std::memcpy(target, &low, sizeof low);
}

void store_string(void* target, const value_view& value)
{
    *static_cast<std::string*>(target) = decode_string_text(value.value.text, value.length);
}

void store_nested(void* target, const value_view& value)
{
    parse_nested(value.value.text, value.length, *static_cast<parse_data_base*>(target));
}

}  // namespace vistrel
