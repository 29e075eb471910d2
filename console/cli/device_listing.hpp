// Whether the device ports were listed during this run, and how the listing is printed.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vistrel {

// Set by -l: a command line of global options alone then ends successfully.
inline bool devices_listed = false;

// "Found devices:", one port name per line, and an empty last line.
void print_device_listing(std::ostream& out, const std::vector<std::string>& ports);

}  // namespace vistrel
