// Reads a profile slot number from the command line.
#pragma once

#include "console/cli/option_registry.hpp"
#include "console/link/profile_id.hpp"

#include <vector>

namespace vistrel {

// Reads the current word like std::stoi (leading blanks, a sign, digits, the rest ignored) and
// accepts 0 to 255. On success appends the number, consumes the word and returns true.
// Otherwise rethrows the failure while `numbers` is still empty (std::invalid_argument "invalid
// stoi argument", std::out_of_range "stoi argument out of range" or "profile id"), and returns
// false without consuming the word once it holds a number.
bool parse_profile_number(arg_cursor& cursor, arg_vector args, std::vector<profile_id_t>& numbers);

}  // namespace vistrel
