// Drives a reply envelope the way the serial reader does: the reply arrives in pieces, and
// after each piece the whole text received so far is parsed from its first byte in line
// mode into the emptied envelope, and the envelope's check runs once the text is complete.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "console/events/json_event_base.hpp"

namespace vistrel::test {

// Parses `text` in steps ending at each of `cuts` (offsets into the text) and then at its
// end. Returns the parser's result of the last step; exceptions of the envelope pass.
int feed_reply(json_event_base& envelope, std::string_view text, std::initializer_list<std::size_t> cuts = {});

// An envelope filled from one complete reply text; fails the test when it does not parse.
json_event_base envelope_of(std::string_view text);

}  // namespace vistrel::test
