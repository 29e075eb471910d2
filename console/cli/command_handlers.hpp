// The handlers of the registry's entries, one per file.
#pragma once

#include "console/cli/option_registry.hpp"

namespace vistrel {

// Global options.
void set_port(arg_cursor& cursor, arg_vector args);      // -c <com_port_device>
void list_devices(arg_cursor& cursor, arg_vector args);  // -l

// Subcommand option.
void set_timeout(arg_cursor& cursor, arg_vector args);  // -t <timeout_in_s>

// Subcommands.
void run_check(arg_cursor& cursor, arg_vector args);        // _service check
void run_information(arg_cursor& cursor, arg_vector args);  // system information
void run_download(arg_cursor& cursor, arg_vector args);     // profile download
void run_list(arg_cursor& cursor, arg_vector args);         // profile list
void run_reset(arg_cursor& cursor, arg_vector args);        // profile reset
void run_upload(arg_cursor& cursor, arg_vector args);       // profile upload

}  // namespace vistrel
