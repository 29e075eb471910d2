// The device exchanges of the console program: one request, then a timed wait on the
// replies. Each of them reports its failure on standard error and then throws false.
#pragma once

#include "console/events/profile.hpp"
#include "console/events/system_information.hpp"
#include "console/link/profile_id.hpp"
#include "console/link/serial_channel.hpp"

#include <vector>

namespace vistrel {

// Waits for the reply of category system.
system_information request_system_information(
    serial_channel& channel = process_serial_channel());

// Succeeds when the device stays silent until the time-out; any answer of category user
// profiles is a failure.
void upload_profiles(const std::vector<profile>& profiles,
                     serial_channel& channel = process_serial_channel());

// Waits for the reply of category user profiles; its profiles in the order sent.
std::vector<profile> download_profiles(const std::vector<profile_id_t>& numbers,
                                       serial_channel& channel = process_serial_channel());

// Like upload_profiles.
void reset_profiles(const std::vector<profile_id_t>& numbers,
                    serial_channel& channel = process_serial_channel());

}  // namespace vistrel
