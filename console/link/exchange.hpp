// The device exchanges of the console program: one request, then a timed wait on the
// replies. Each of them reports its failure on standard error and then throws
// failure_reported (failure_report.hpp).
//
// The commands call the forms without a channel, which run on the process-wide serial
// channel whose port -c names; this header needs no Boost. The forms that take a channel
// (serial_channel.hpp) are for tests.
#pragma once

#include "console/events/json_event_sysinfo.hpp"
#include "console/events/profile.hpp"
#include "console/link/request.hpp"

#include <string>
#include <vector>

namespace vistrel {

class serial_channel;

// The port name of the process-wide channel: empty at start, stored as given.
void set_port_name(std::string name);
const std::string& port_name();

// Waits for the reply of category system.
system_information request_system_information();
system_information request_system_information(serial_channel& channel);

// Succeeds when the device stays silent until the time-out; any answer of category user
// profiles is a failure.
void upload_profiles(const std::vector<profile>& profiles);
void upload_profiles(const std::vector<profile>& profiles, serial_channel& channel);

// Waits for the reply of category user profiles; its profiles in the order sent.
std::vector<profile> download_profiles(const std::vector<profile_id_t>& numbers);
std::vector<profile> download_profiles(const std::vector<profile_id_t>& numbers, serial_channel& channel);

// Like upload_profiles.
void reset_profiles(const std::vector<profile_id_t>& numbers);
void reset_profiles(const std::vector<profile_id_t>& numbers, serial_channel& channel);

}  // namespace vistrel
