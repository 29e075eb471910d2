// The soak program's command line.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vistrel::soak {

struct soak_options {
    bool console = true;  // run the console part
    bool engine = true;  // run the windowed engine's part (where it is built)
    std::uint64_t seed = 0;
    bool seed_given = false;
    // Exchanges of each part; with a duration and no count, as many as fit.
    std::optional<unsigned long> console_exchanges;
    std::optional<unsigned long> engine_exchanges;
    std::optional<std::chrono::seconds> duration;  // per part
    unsigned block = 40;  // drawn exchanges per simulator run
    std::int64_t console_timeout = 1;  // seconds
    int engine_wait = 100;  // milliseconds
    bool verbose = false;  // one line per exchange
    bool help = false;
};

class usage_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads argv[1] onwards; the seed comes from VISTREL_SOAK_SEED when no --seed is given
// (`seed_variable` is that variable's value, or null). Throws usage_error.
soak_options parse_soak_options(const std::vector<std::string>& arguments, const char* seed_variable);

std::string soak_usage_text(bool with_engine);

}  // namespace vistrel::soak
