#include "console/cli/command_handlers.hpp"

#include "console/cli/read_edid_file.hpp"
#include "console/cli/take_file_name.hpp"
#include "console/cli/write_edid_file.hpp"

#include <string>

namespace vistrel {

// Copies the first 256 bytes of a profile file to the same name with ".D" appended, the way
// upload would read it and download would write it; no device is involved.
void run_check(arg_cursor& cursor, arg_vector args)
{
    const std::string name = take_file_name(cursor, args, "missing file name");
    profile record;
    record.id = 255;
    read_edid_file(name, record);
    write_edid_file(name + ".D", record);
}

}  // namespace vistrel
