// The trace lines of the device exchanges, on standard error.
#pragma once

#include <cstddef>
#include <ostream>
#include <string_view>

namespace vistrel {

inline constexpr std::string_view sending_trace_label = "sending  JSON ";
inline constexpr std::string_view received_trace_label = "received JSON ";

// label, "<", the bytes unchanged, ">", end of line, flush.
void print_trace(std::ostream& out, std::string_view label, const unsigned char* bytes,
                 std::size_t count);

}  // namespace vistrel
