#include "console/cli/command_handlers.hpp"

#include "console/cli/parse_profile_number.hpp"
#include "console/cli/read_edid_file.hpp"
#include "console/cli/take_file_name.hpp"
#include "console/link/exchange.hpp"

#include <vector>

namespace vistrel {

// Every file is read before anything is sent, so a missing or short file sends nothing.
// Success is silence: nothing is printed.
void run_upload(arg_cursor& cursor, arg_vector args)
{
    std::vector<profile_id_t> numbers;
    std::vector<profile> records;
    while (cursor < 0 && parse_profile_number(cursor, args, numbers)) {
        profile record;
        record.id = numbers.back();
        read_edid_file(take_file_name(cursor, args, missing_file_name_for(record.id)), record);
        records.push_back(record);
    }
    upload_profiles(records);
}

}  // namespace vistrel
