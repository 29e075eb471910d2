// A fuzzed reply, fed to the envelope in two pieces the way the serial reader does, then
// converted into each event. Every outcome must be a result or one of the events' own
// exceptions; anything else escapes and is reported.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "console/events/command_context.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/json_event_json_error.hpp"
#include "console/events/json_event_profiles.hpp"
#include "console/events/json_event_sysinfo.hpp"
#include "console/events/profile_row.hpp"

namespace {

// Parses the text received so far from its first byte, as the reader does after each read.
int parse_step(vistrel::json_event_base& envelope, const std::string& received, std::size_t end)
{
    minijson_parse_context_t context{};
    const minijson_parser_t request{vistrel::report_value, &envelope, static_cast<std::size_t>(envelope.depth),
                                    MINIJSON_PARSE_LINE, &context};
    std::size_t length = end;
    const int result = minijson_parse(received.data(), &length, &request);
    envelope.finish();
    return result;
}

template <class Event, class Use>
void convert(const vistrel::json_event_base& envelope, Use use)
{
    try {
        const Event event(envelope);
        use(event);
    } catch (const vistrel::json_event_sysinfo&) {
    } catch (const vistrel::json_event_profiles&) {
    } catch (const vistrel::json_event_json_error&) {
    } catch (const std::exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::size_t cut = data[0] % size;
    const std::string received(reinterpret_cast<const char*>(data) + 1, size - 1);

    vistrel::json_event_base envelope;
    try {
        int result = parse_step(envelope, received, cut <= received.size() ? cut : received.size());
        if (result == MINIJSON_UNFINISHED) {
            result = parse_step(envelope, received, received.size());
        }
        if (result != MINIJSON_OK) {
            return 0;
        }
    } catch (const std::exception&) {
        return 0;
    }

    convert<vistrel::json_event_sysinfo>(envelope, [](const vistrel::json_event_sysinfo&) {});
    convert<vistrel::json_event_json_error>(envelope, [](const vistrel::json_event_json_error&) {});

    vistrel::command_context context;
    context.show_data_string = 1;
    vistrel::current_command_context = &context;
    convert<vistrel::json_event_profiles>(envelope, [](const vistrel::json_event_profiles& event) {
        for (const vistrel::profile& record : event.profiles) {
            (void)vistrel::format_profile_row(record.edid, false);
        }
    });
    vistrel::current_command_context = nullptr;
    return 0;
}
