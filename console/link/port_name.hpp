// The name of the serial port that device commands open.
#pragma once

#include <string>

namespace vistrel {

// The process-wide port name: empty at start, set from the command line.
std::string& port_name();

}  // namespace vistrel
