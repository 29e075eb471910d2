// The handlers of the global options -c (the port) and -l (the device listing), of the
// subcommand option -t (the time-out), and of the commands system information and
// _service check.
#pragma once

#include "console/cli/registry.hpp"

namespace vistrel {

// Set by -l: a command line of global options alone then ends successfully.
inline bool devices_listed = false;

// -c <com_port_device>: stores the word as the port name, as given; an empty or unknown
// port fails when it is opened. Without a word: std::runtime_error "incorrectly specified
// COM port".
void set_port(arg_cursor& cursor, arg_vector args);

// -l: prints "Found devices:", the port of every connected device, one per line, and an
// empty last line, then sets devices_listed. The whole list is gathered before anything is
// printed: a failed discovery prints nothing.
void list_devices(arg_cursor& cursor, arg_vector args);

// -t <timeout_in_s>: the word is read like std::stol reads it (leading blanks, a sign,
// digits, the rest ignored), limited to 32 bits whatever the width of long; zero and
// negative values are kept. Without a word: std::runtime_error "incorrectly specified
// timeout".
void set_timeout(arg_cursor& cursor, arg_vector args);

// system information: the device's versions and schema URL on standard output.
void run_information(arg_cursor& cursor, arg_vector args);

// _service check <file>: copies the first 256 bytes of a profile file to the same name with
// ".D" appended, the way upload would read it and download would write it; no device is
// involved.
void run_check(arg_cursor& cursor, arg_vector args);

}  // namespace vistrel
