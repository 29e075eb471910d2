#include "console/link/serial_reader.hpp"

#include "codec/json_error.hpp"
#include "console/link/request.hpp"

#include <iostream>
#include <stdexcept>
#include <utility>

namespace vistrel {

serial_reader::serial_reader(bool trace_messages) : reader<unsigned char>(trace_messages)
{
    minijson_reset(&parse_state);
    pending.push_back(result.get_future());
}

bool serial_reader::do_call(unsigned char* data, std::size_t& length)
{
    // The whole message is parsed again from its first byte on every call, since the buffer
    // may have moved since the last one.
    std::size_t parsed = length;
    const int code = event.parse_received(reinterpret_cast<const char*>(data), &parsed, parse_state);
    if (code == MINIJSON_UNFINISHED) {
        return true;
    }
    if (code != MINIJSON_OK) {
        throw_json_error("JSON parse error - ", code);
    }
    if (trace()) {
        print_trace(std::cerr, received_trace_label, data, length);
    }
    length -= parsed < length ? parsed : length;
    take_result().set_value(event);
    event.reset();
    minijson_reset(&parse_state);
    return false;
}

void serial_reader::on_failure(std::exception_ptr failure)
{
    take_result().set_exception(std::move(failure));
    event.reset();
    minijson_reset(&parse_state);
}

std::promise<json_event_base> serial_reader::take_result()
{
    std::promise<json_event_base> current = std::exchange(result, {});
    pending.push_back(result.get_future());
    return current;
}

std::future<json_event_base> serial_reader::next_message()
{
    const std::lock_guard<std::mutex> guard(lock());
    if (pending.empty()) {
        throw std::logic_error("serial_reader::next_message() - the previous message is still awaited");
    }
    std::future<json_event_base> next = std::move(pending.front());
    pending.pop_front();
    return next;
}

}  // namespace vistrel
