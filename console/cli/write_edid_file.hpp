// Writes a profile record's EDID into a file.
#pragma once

#include "console/events/profile.hpp"

#include <string>

namespace vistrel {

// Creates or truncates the file and writes the record's first edid_size bytes (at most 256),
// nothing else. Raises std::runtime_error "Cannot open file <name> for writing." when it cannot
// be created, and "Cannot write file <name>." when writing or closing fails; a regular file
// left behind by a failed write is removed, so no partial file looks complete.
void write_edid_file(const std::string& name, const profile& record);

}  // namespace vistrel
