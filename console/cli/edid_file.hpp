// EDID files: raw binary files that hold one profile's EDID block and nothing else.
#pragma once

#include "console/events/profile.hpp"

#include <string>

namespace vistrel {

// Reads exactly the first 256 bytes of the file into the record's edid and sets edid_size to
// 256; later bytes are ignored. A file that cannot be opened or holds fewer bytes raises
// std::ios_base::failure.
void read_edid_file(const std::string& name, profile& record);

// Creates or truncates the file and writes the record's first edid_size bytes (at most 256),
// nothing else. Raises std::runtime_error "Cannot open file <name> for writing." when it cannot
// be created, and "Cannot write file <name>." when writing or closing fails; a regular file
// left behind by a failed write is removed, so no partial file looks complete.
void write_edid_file(const std::string& name, const profile& record);

}  // namespace vistrel
