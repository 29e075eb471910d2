// The console program's entry point: walks the command line through the registry.
#pragma once

namespace vistrel {

// Runs the command line and returns the exit status: 0 for success or printed option help,
// 1 for any failure. Usage, option help and failure messages go to standard error.
int run_command_line(int argc, char** argv);

}  // namespace vistrel
