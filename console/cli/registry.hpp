// The registry of `vistrel`: its global options, command groups, subcommands and their options.
// Built before main runs and never changed afterwards.
#pragma once

#include "console/cli/option_registry.hpp"

namespace vistrel {

extern const option_map no_options;       // the empty level
extern const option_map global_options;   // -c, -l
extern const option_map command_options;  // -t, after a subcommand
extern const option_map service_commands; // group _service
extern const option_map system_commands;  // group system
extern const option_map profile_commands; // group profile

extern const command_map command_groups;  // _service, profile, system

}  // namespace vistrel
