// The windowed engine's part of the soak: one WorkingEngine, driven through its slots in the
// event loop of the QCoreApplication that the caller has made, exchanges signal values with
// vistrel-sim, a fault drawn for each exchange.
#pragma once

#include <cstdint>
#include <ostream>

#include "tests/soak/soak_options.hpp"

namespace vistrel::soak {

// Runs the part, prints its figures to `out` and returns the number of problems found.
unsigned long run_engine_soak(const soak_options& options, std::uint64_t seed, std::ostream& out);

}  // namespace vistrel::soak
