// Runs the built vistrel in a controlled environment for end-to-end tests.
#pragma once

#include "tests/support/e2e_platform.hpp"
#include "tests/support/process_runner.hpp"

#include <string>
#include <utility>
#include <vector>

#ifndef VISTREL_PROGRAM
#error "VISTREL_PROGRAM must name the built vistrel"
#endif

namespace vistrel::e2e {

// The path of the built program; it names itself "vistrel" in its usage text. A Windows run
// of the tests runs vistrel.exe under Wine instead (tests/support/e2e_platform.hpp).
inline const std::string vistrel_program = VISTREL_PROGRAM;

// A folder that never exists: USB discovery then sees a machine without a USB bus.
inline const std::string no_usb_bus = "/nonexistent/vistrel-e2e/usb";

// Runs vistrel with `arguments`, tracing and verification off unless `options` sets them, and
// USB discovery reading `sysfs_root`.
inline test_support::process_result run_vistrel(const std::vector<std::string>& arguments,
                                                const std::string& sysfs_root = no_usb_bus,
                                                test_support::process_options options = {})
{
    options.set_environment.emplace_back("VISTREL_SYSFS_ROOT", sysfs_root);
    options.unset_environment.emplace_back("VISTREL_TRACE");
    options.unset_environment.emplace_back("VISTREL_VERIFY");
    return test_support::run_on_platform(vistrel_program, arguments, options);
}

// The three usage lines naming `word` as the unrecognised command; `name` is the program's
// name as the usage quotes it.
inline std::string usage_text(const std::string& word, const std::string& name = "\"vistrel\"")
{
    return name + ", version 1.2 - unrecognized command: " + word + "\nUsage: " + name
        + " [-c <com_port_device> | -l] profile <options...> | system <options...>\n\n";
}

}  // namespace vistrel::e2e
