// The platform on which the end-to-end tests run vistrel.
//
// VISTREL_E2E_PLATFORM selects it: unset or "native" runs the program built beside the tests;
// "windows" runs the cross-built vistrel.exe named by VISTREL_WINDOWS_EXE under Wine, and a
// simulator's pseudo-terminal is then reached as a COM port. Without VISTREL_WINDOWS_EXE every
// test of a Windows run is skipped, saying so.
//
// A Windows program writes its standard output and standard error in text mode: each line
// feed leaves it as CR LF. What a Windows run returns has each CR LF turned back into LF, so
// that the same expected texts serve both platforms; a line feed that arrives without its CR
// shows as "<LF without CR>" and fails the comparison.
#pragma once

#include "tests/support/process_runner.hpp"
#include "tests/support/sim_fixture.hpp"

#include <optional>
#include <string>
#include <vector>

namespace vistrel::test_support {

enum class e2e_platform { native, windows };

e2e_platform current_e2e_platform();
inline bool runs_on_windows()
{
    return current_e2e_platform() == e2e_platform::windows;
}

// Runs vistrel on the current platform: `native_program` natively, vistrel.exe under Wine.
process_result run_on_platform(const std::string& native_program, const std::vector<std::string>& arguments,
                               process_options options = {});

// The name under which vistrel reaches the simulator: its pseudo-terminal natively, a COM port
// mapped to that pseudo-terminal on Windows.
std::string port_of(const sim_process& sim);

// Why a Windows command line cannot carry these words unchanged (a line feed or a byte outside
// ASCII, which the code page conversion alters; more than the 32767 characters of a command
// line), or nothing when it can or the platform is native.
std::optional<std::string> words_the_platform_cannot_pass(const std::vector<std::string>& words);

// Text-mode output of a Windows program, its CR LF pairs turned back into LF.
std::string from_text_mode(const std::string& bytes);

}  // namespace vistrel::test_support
