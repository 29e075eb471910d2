#include "console/events/json_event_json_error.hpp"

namespace vistrel {

json_event_json_error::json_event_json_error(const json_event_base& envelope)
    : basic_json_event(envelope),
      internal(1, {{"position", key_handler{value_type::integer, &position, store_integer}}})
{
    fill(envelope);
    throw json_event_json_error(*this);
}

json_event_json_error::json_event_json_error(const json_event_json_error& other)
    : basic_json_event(other),
      position(other.position),
      internal(1, {{"position", key_handler{value_type::integer, &position, store_integer}}})
{
}

}  // namespace vistrel
