// Consumes the file name word of a command.
#pragma once

#include "console/cli/option_registry.hpp"

#include <string>

namespace vistrel {

// Returns the current word and consumes it; with no word left raises std::runtime_error with
// `missing_text`.
std::string take_file_name(arg_cursor& cursor, arg_vector args, const std::string& missing_text);

// The text for a profile number that is the last word: "missing file name for profile <n>".
std::string missing_file_name_for(unsigned number);

}  // namespace vistrel
