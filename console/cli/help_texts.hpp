// The help texts of `vistrel`: the usage text, printed when the command line names no known
// command group, with the program's name and version; and the option help of a command
// group, printed when its subcommands are missing or a word after them is not understood.
#pragma once

#include "console/cli/registry.hpp"

#include <ostream>
#include <string>
#include <string_view>

namespace vistrel {

inline constexpr unsigned version_major = 1;
inline constexpr unsigned version_minor = 2;

// The stem of argv[0]: folder and last extension removed. "." and ".." stay whole and a
// leading dot does not start an extension. Folders are split the platform's way: at "/" on
// POSIX systems, at "/" and "\" (and after a drive) on Windows.
std::string program_stem(std::string_view argv0);

// The text in double quotes, each double quote or backslash in it escaped by a backslash.
std::string quoted_program_name(std::string_view name);

// Three lines: the program's name and version with the offending word (args[offending], or
// "<empty>" when `offending` is 0), the global options and visible groups, an empty line.
// `program` is the position of argv[0] (a null argv[0] names the program "").
void print_usage(std::ostream& out, arg_cursor program, arg_cursor offending, arg_vector args);

// "Unrecognized option [<word>] for command <group>", the group's subcommands with their
// arguments, one line per subcommand with its options and description, and the options used
// by them explained once.
void print_option_help(std::ostream& out, std::string_view group, const option_map& level, std::string_view word);

// The nested options, argument text and description of one entry. With `collect` set, the
// nested options are remembered in explained_options().
void print_option_details(std::ostream& out, const option_desc& entry, bool collect);

// The options whose details the option help explains after the subcommands; filled by
// print_option_details, kept for the whole run.
option_map& explained_options();

}  // namespace vistrel
