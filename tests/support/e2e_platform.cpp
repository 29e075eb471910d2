#include "tests/support/e2e_platform.hpp"

#include "tests/support/wine_session.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace vistrel::test_support {
namespace {

std::string environment_value(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string windows_program()
{
    const std::string exe = environment_value("VISTREL_WINDOWS_EXE");
    if (exe.empty()) {
        throw std::runtime_error("VISTREL_WINDOWS_EXE is not set");
    }
    if (!std::filesystem::is_regular_file(exe)) {
        throw std::runtime_error("VISTREL_WINDOWS_EXE names no file: " + exe);
    }
    return exe;
}

// Skips every test of a Windows run that has no program to run, before any of them starts.
class windows_program_check : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (runs_on_windows() && environment_value("VISTREL_WINDOWS_EXE").empty()) {
            // The marker of a skipped test, which ctest looks for: this run has no test of its
            // own to mark.
            std::cout << "[  SKIPPED ] VISTREL_WINDOWS_EXE is not set" << std::endl;
            GTEST_SKIP() << "VISTREL_WINDOWS_EXE is not set: build the windows preset and set it "
                            "to the path of vistrel.exe to run these tests under Wine";
        }
    }
};

[[maybe_unused]] const ::testing::Environment* const registered_check =
    ::testing::AddGlobalTestEnvironment(new windows_program_check);

}  // namespace

e2e_platform current_e2e_platform()
{
    static const e2e_platform platform = [] {
        const std::string name = environment_value("VISTREL_E2E_PLATFORM");
        if (name.empty() || name == "native") {
            return e2e_platform::native;
        }
        if (name == "windows") {
            return e2e_platform::windows;
        }
        throw std::runtime_error("VISTREL_E2E_PLATFORM must be \"native\" or \"windows\", not \"" + name + "\"");
    }();
    return platform;
}

process_result run_on_platform(const std::string& native_program, const std::vector<std::string>& arguments,
                               process_options options)
{
    if (!runs_on_windows()) {
        return run_process(native_program, arguments, options);
    }
    if (options.argv0) {
        throw std::logic_error(
            "a Windows program under Wine is named by its file; copy it "
            "instead of setting argv[0]");
    }
    process_result result = wine_session::get().run(windows_program(), arguments, options);
    result.standard_output = from_text_mode(result.standard_output);
    result.standard_error = from_text_mode(result.standard_error);
    return result;
}

std::string port_of(const sim_process& sim)
{
    return runs_on_windows() ? wine_session::get().com_port_for(sim.port()) : sim.port();
}

std::optional<std::string> words_the_platform_cannot_pass(const std::vector<std::string>& words)
{
    if (!runs_on_windows()) {
        return std::nullopt;
    }
    constexpr std::size_t command_line_limit = 32767;
    std::size_t length = 0;
    for (const auto& word : words) {
        for (const char c : word) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) {
                return "a Windows command line carries its words in the ANSI code page, which "
                       "changes bytes outside ASCII";
            }
            if (c == '\n' || c == '\r') {
                return "Wine drops line ends from the words of a command line";
            }
        }
        length += word.size() + 3;  // a blank and a pair of quotes
    }
    if (length > command_line_limit) {
        return "a Windows command line holds at most 32767 characters";
    }
    return std::nullopt;
}

std::string from_text_mode(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            text += '\n';
            ++i;
        } else if (bytes[i] == '\n') {
            text += "<LF without CR>";
        } else {
            text += bytes[i];
        }
    }
    return text;
}

}  // namespace vistrel::test_support
