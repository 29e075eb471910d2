// Reads an EDID file into a profile record.
#pragma once

#include "console/events/profile.hpp"

#include <string>

namespace vistrel {

// Reads exactly the first 256 bytes of the file into the record's edid and sets edid_size to
// 256; later bytes are ignored. A file that cannot be opened or holds fewer bytes raises
// std::ios_base::failure.
void read_edid_file(const std::string& name, profile& record);

}  // namespace vistrel
