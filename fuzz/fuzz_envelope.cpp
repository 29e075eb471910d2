// A fuzzed reply, fed to the envelope in two pieces the way the serial reader does, then
// converted into each event. Every outcome must be a result or one of the events' own
// exceptions; anything else escapes and is reported.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "console/events/command_context.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/json_event_json_error.hpp"
#include "console/events/json_event_profiles.hpp"
#include "console/events/json_event_sysinfo.hpp"
#include "console/events/profile.hpp"

namespace {

// Parses the text received so far from its first byte into the emptied envelope, as the
// reader does after each read; the envelope is checked once the text is complete.
int parse_step(vistrel::json_event_base& envelope, const std::string& received, std::size_t end)
{
    minijson_parse_context_t context{};
    std::size_t length = end;
    return envelope.parse_received(received.data(), &length, context);
}

// The reply read whole, or in two reads cut at `cut`: the parse result or the failure, and
// the envelope it left.
std::string outcome(vistrel::json_event_base& envelope, const std::string& received, std::size_t cut)
{
    try {
        int result = MINIJSON_UNFINISHED;
        if (cut > 0) {
            result = parse_step(envelope, received, cut);
        }
        if (result == MINIJSON_UNFINISHED) {
            result = parse_step(envelope, received, received.size());
        }
        if (result != MINIJSON_OK) {
            return "result " + std::to_string(result);
        }
    } catch (const std::exception& error) {
        return std::string("failure ") + error.what();
    }
    return "category " + std::to_string(static_cast<int>(envelope.category)) + " case "
        + std::to_string(static_cast<int>(envelope.event_case)) + " sort " + envelope.sort + " "
        + std::string(envelope.sort_details.begin(), envelope.sort_details.end()) + " data "
        + std::string(envelope.data_text.begin(), envelope.data_text.end()) + (envelope.data_is_object ? " object" : "")
        + (envelope.sort_is_object ? " sort object" : "");
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

    // However the bytes of a reply object arrive, it means the same. (A bare scalar at the
    // top is complete wherever the bytes pause after it, so it is not held to this.)
    vistrel::json_event_base whole;
    const std::string whole_outcome = outcome(whole, received, 0);
    vistrel::json_event_base envelope;
    const std::string split_outcome = outcome(envelope, received, cut <= received.size() ? cut : received.size());
    const std::size_t first = received.find_first_not_of(" \t");
    const bool container = first != std::string::npos && (received[first] == '{' || received[first] == '[');
    if (container && split_outcome != whole_outcome) {
        std::abort();
    }
    if (whole_outcome.rfind("category ", 0) != 0) {
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
