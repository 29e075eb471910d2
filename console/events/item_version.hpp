// The version of one item of the device's system information.
#pragma once

#include <cstdint>
#include <string>

namespace vistrel {

struct item_version {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::string note;
};

// "major.minor", followed by "." and the note when there is one.
std::string to_string(const item_version& version);

}  // namespace vistrel
