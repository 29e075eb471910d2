// The option help texts of vistrel's groups, as the end-to-end tests expect them.
#pragma once

#include <string>

namespace vistrel::e2e {

inline const std::string timeout_explained =
    "\"option\" -t <timeout_in_s>=2 - set operation timeout in seconds\n"
    "\n";

inline std::string system_help(const std::string& word)
{
    return "Unrecognized option [" + word +
           "] for command system\n"
           "Possible options: system (information)\n"
           "\n"
           "system information [-t <timeout_in_s>=2] - get basic information about the device\n"
           "\n" +
           timeout_explained;
}

inline std::string profile_help(const std::string& word)
{
    return "Unrecognized option [" + word +
           "] for command profile\n"
           "Possible options: profile (download <profile_number> <filename> [<profile_number> "
           "<filename> [...]] | list | reset (all | <profile_number> [<profile_number> [...]]) | "
           "upload <profile_number> <edid_file> [<profile_number> <edid_file> [...]])\n"
           "\n"
           "profile download [-t <timeout_in_s>=2] <profile_number> <filename> [<profile_number> "
           "<filename> [...]] - download user profiles (EDID)\n"
           "profile list [-t <timeout_in_s>=2] - list profiles (EDID)\n"
           "profile reset [-t <timeout_in_s>=2] (all | <profile_number> [<profile_number> "
           "[...]]) - reset user profiles to defaults (EDID)\n"
           "profile upload [-t <timeout_in_s>=2] <profile_number> <edid_file> [<profile_number> "
           "<edid_file> [...]] - upload user profiles (EDID)\n"
           "\n" +
           timeout_explained;
}

inline std::string service_help(const std::string& word)
{
    return "Unrecognized option [" + word +
           "] for command _service\n"
           "Possible options: _service (check)\n"
           "\n"
           "_service check [-t <timeout_in_s>=2]\n"
           "\n" +
           timeout_explained;
}

}  // namespace vistrel::e2e
