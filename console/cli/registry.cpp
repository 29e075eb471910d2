#include "console/cli/registry.hpp"

#include "console/cli/command_handlers.hpp"

namespace vistrel {

const option_map no_options{};

const option_map command_options{
    {{"-t", {set_timeout, "<timeout_in_s>=2", "set operation timeout in seconds", &no_options}}},
    false};

const option_map global_options{
    {{"-c", {set_port, "<com_port_device>", "specifies the port of the device", &no_options}},
     {"-l", {list_devices, "", "list conncted devices", &no_options}}},
    false};

const option_map service_commands{{{"check", {run_check, "", "", &command_options}}}, false};

const option_map system_commands{
    {{"information",
      {run_information, "", "get basic information about the device", &command_options}}},
    true};

const option_map profile_commands{
    {{"download",
      {run_download, "<profile_number> <filename> [<profile_number> <filename> [...]]",
       "download user profiles (EDID)", &command_options}},
     {"list", {run_list, "", "list profiles (EDID)", &command_options}},
     {"reset",
      {run_reset, "(all | <profile_number> [<profile_number> [...]])",
       "reset user profiles to defaults (EDID)", &command_options}},
     {"upload",
      {run_upload, "<profile_number> <edid_file> [<profile_number> <edid_file> [...]]",
       "upload user profiles (EDID)", &command_options}}},
    true};

const command_map command_groups{
    {"_service", &service_commands},
    {"profile", &profile_commands},
    {"system", &system_commands},
};

}  // namespace vistrel
