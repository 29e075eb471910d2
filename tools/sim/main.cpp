// vistrel-sim: a Vistrel device on a pseudo-terminal.
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "tools/sim/device_model.hpp"
#include "tools/sim/pty_port.hpp"
#include "tools/sim/sim_log.hpp"
#include "tools/sim/sim_options.hpp"
#include "tools/sim/sim_server.hpp"

int main(int argc, char** argv)
{
    using namespace vistrel::sim;
    sim_options options;
    try {
        options = parse_options(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const usage_error& error) {
        std::cerr << "vistrel-sim: " << error.what() << "\n(see vistrel-sim --help)" << std::endl;
        return 2;
    }
    if (options.help) {
        std::cout << usage_text() << std::flush;
        return 0;
    }
    try {
        profile_store profiles;
        if (options.profiles) {
            profiles.load_defaults(*options.profiles);
        }
        device_model model(options.identity, std::move(profiles));
        const auto log = options.log_path ? std::make_unique<sim_log>(*options.log_path) : std::make_unique<sim_log>();
        pty_port port;
        if (std::printf("%s\n", port.slave_path().c_str()) < 0 || std::fflush(stdout) != 0) {
            std::cerr << "vistrel-sim: cannot write the port's path to standard output" << std::endl;
            return 1;
        }
        sim_server server(port, model, std::move(options.rules), *log, options.server);
        return server.run();
    } catch (const std::exception& error) {
        std::cerr << "vistrel-sim: " << error.what() << std::endl;
        return 1;
    }
}
