// The usage text, printed when the command line names no known command group.
#pragma once

#include "console/cli/option_registry.hpp"

#include <ostream>

namespace vistrel {

// Three lines: the program's name and version with the offending word (args[offending], or
// "<empty>" when `offending` is 0), the global options and visible groups, an empty line.
// `program` is the position of argv[0] (a null argv[0] names the program "").
void print_usage(std::ostream& out, arg_cursor program, arg_cursor offending, arg_vector args);

}  // namespace vistrel
