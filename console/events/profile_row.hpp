// One row of the profile list, read from a profile's EDID.
#pragma once

#include <string>

#include "console/events/edid_bytes.hpp"

namespace vistrel {

// Resolution, screen size, part number, (when the running command asks for it) the data
// string, and the ECU and CAN bus names, preceded by notes about broken checksums or headers.
// Never fails: every missing piece is shown as unknown.
std::string format_profile_row(const edid_bytes& edid, bool with_labels);

}  // namespace vistrel
