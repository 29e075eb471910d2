// The option help of a command group, printed when its subcommands are missing or a word
// after them is not understood.
#pragma once

#include "console/cli/option_registry.hpp"

#include <ostream>
#include <string_view>

namespace vistrel {

// "Unrecognized option [<word>] for command <group>", the group's subcommands with their
// arguments, one line per subcommand with its options and description, and the options used
// by them explained once.
void print_option_help(std::ostream& out, std::string_view group, const option_map& level,
                       std::string_view word);

// The nested options, argument text and description of one entry. With `collect` set, the
// nested options are remembered in explained_options().
void print_option_details(std::ostream& out, const option_desc& entry, bool collect);

// The options whose details the option help explains after the subcommands; filled by
// print_option_details, kept for the whole run.
option_map& explained_options();

}  // namespace vistrel
