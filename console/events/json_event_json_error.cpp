#include "console/events/json_event_json_error.hpp"

#include <stdexcept>

#include "console/events/value_type.hpp"

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

void throw_json_error_event(const json_event_base& envelope)
{
    (void)json_event_json_error(envelope);
    // The constructor always throws; this line is never reached.
    throw std::logic_error("JSON error event was not thrown");
}

}  // namespace vistrel
