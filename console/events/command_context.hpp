// The settings in force while one console command runs.
#pragma once

#include <cstdint>

#include "contract/device_contract.hpp"

namespace vistrel {

struct command_context {
    bool trace = false;  // echo requests and replies on standard error
    // reply time-out of a device exchange, in seconds
    std::int64_t timeout = contract::console_default_timeout.count();
    std::int32_t show_data_string = 0;  // 1: profile rows carry the data-string column
    bool verify = false;  // read uploaded slots back and compare them with their files
};

// The context of the running command; null while no command runs.
// Only the command thread reads or writes it.
inline command_context* current_command_context = nullptr;

// The running command's settings, or the defaults when no command runs.
inline command_context command_settings()
{
    return current_command_context != nullptr ? *current_command_context : command_context{};
}

}  // namespace vistrel
