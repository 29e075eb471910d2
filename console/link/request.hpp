// The request of an exchange as it goes on the wire (compact JSON and one LF), and the trace
// lines that show requests and replies on standard error.
#pragma once

#include "console/events/profile.hpp"

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

namespace vistrel {

// The number of a user profile slot as requests carry it.
using profile_id_t = std::uint8_t;

// What a request asks the device for.
enum class request_kind : int {
    system_information = 0,  // "system", "get", "information"
    upload = 1,  // "user profiles", "set", "upload", profiles with their EDIDs
    download = 2,  // "user profiles", "get", "download", profile numbers
    reset = 3,  // "user profiles", "set", "reset", profile numbers
};

using request_bytes = std::vector<unsigned char>;

// {"category":..,"case":..,"sort":..} with "data" for the profile kinds: one object per
// list element, in the order given. Throws std::runtime_error " JSON request - " and the
// reason when the writer fails.
request_bytes build_request(request_kind kind);
request_bytes build_request(request_kind kind, const std::vector<profile>& profiles);
request_bytes build_request(request_kind kind, const std::vector<profile_id_t>& numbers);

inline constexpr std::string_view sending_trace_label = "sending  JSON ";
inline constexpr std::string_view received_trace_label = "received JSON ";

// label, "<", the bytes unchanged, ">", end of line, flush.
void print_trace(std::ostream& out, std::string_view label, const unsigned char* bytes, std::size_t count);

}  // namespace vistrel
