// The console part of the soak: the console program's device exchanges (system information,
// profile upload, download and reset) run in this process on one serial channel against
// vistrel-sim, a fault drawn for each of them.
#pragma once

#include <cstdint>
#include <ostream>

#include "tests/soak/soak_options.hpp"

namespace vistrel::soak {

// Runs the part, prints its figures to `out` and returns the number of problems found.
unsigned long run_console_soak(const soak_options& options, std::uint64_t seed, std::ostream& out);

}  // namespace vistrel::soak
