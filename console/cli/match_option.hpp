// Matching the current command-line word against one level of the registry.
#pragma once

#include "console/cli/option_registry.hpp"

namespace vistrel {

// Looks the current word's key (the part before the first "=") up in `level`, exactly and
// case-sensitively. On a match the word is consumed (a "name=value" word is rewritten to its
// value, which becomes the next word), the entry's nested options are matched in turn and its
// handler is called, all within one command_context. Returns true when an entry matched and
// words are left.
bool match_option(const option_map& level, arg_cursor& cursor, arg_vector args);

}  // namespace vistrel
