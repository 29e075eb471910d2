// Windows programs under Wine for the tests: the Wine prefix, a running Wine server, and COM
// ports that lead to pseudo-terminals.
//
// Settings, all from the environment:
//   WINEPREFIX   the prefix; the folder wineprefix beside the test program when not set
//   VISTREL_WINE the Wine launcher; "wine" found on PATH when not set
#pragma once

#include "tests/support/process_runner.hpp"

#include <string>
#include <vector>

namespace vistrel::test_support {

class wine_session {
public:
    // The session of this test process: on first use, creates the prefix when it does not
    // exist yet and starts a persistent Wine server with its services, all detached from the
    // caller's output (a Wine service started by a measured run would keep that run's pipes
    // open). Throws std::runtime_error when Wine cannot be found or started.
    static wine_session& get();

    const std::string& prefix() const { return prefix_; }
    const std::string& launcher() const { return launcher_; }

    // Runs the Windows program `exe` with `arguments` under Wine. The Windows program's
    // argv[0] is `exe` as given (a Unix path, or a DOS path such as "Z:\\tmp\\x.exe").
    // A persistent server is started first, detached, should the session's one have ended.
    // The program's outputs are captured through files, read once wine has ended, so that a
    // server wine started by itself neither holds the run open nor adds its dump to them.
    process_result run(const std::string& exe, const std::vector<std::string>& arguments,
                       process_options options) const;

    // A COM port name ("COM13") that Wine resolves to `device` (a pseudo-terminal such as
    // /dev/pts/3), through a link in the prefix's dosdevices folder. A pseudo-terminal number
    // N always gets COM(N + 10), so test processes running side by side never disagree about
    // a link. Ports from COM9000 on are never mapped.
    std::string com_port_for(const std::string& device) const;

private:
    wine_session();

    std::string prefix_;
    std::string launcher_;
    std::string settings_;  // the environment of every Wine process, as an env command line
    std::string server_;  // the wineserver that belongs to the launcher
};

}  // namespace vistrel::test_support
