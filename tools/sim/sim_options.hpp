// The simulator's command line.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/sim/device_model.hpp"
#include "tools/sim/fault_rule.hpp"
#include "tools/sim/sim_server.hpp"

namespace vistrel::sim {

struct sim_options {
    server_settings server;
    device_identity identity;
    std::optional<std::filesystem::path> profiles;
    std::optional<std::string> log_path;
    std::vector<fault_rule> rules;
    bool help = false;
};

class usage_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments (argv[1] onwards), the scenario file included. Throws usage_error.
sim_options parse_options(const std::vector<std::string>& arguments);

std::string usage_text();

}  // namespace vistrel::sim
