#include "console/cli/command_handlers.hpp"

#include "console/cli/download_pairing.hpp"
#include "console/cli/parse_profile_number.hpp"
#include "console/cli/take_file_name.hpp"
#include "console/cli/write_edid_file.hpp"
#include "console/link/exchange.hpp"

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace vistrel {

// Saves each returned profile into the file named after its slot number. Slots that were
// asked for and did not come back are named on standard error; a profile that no file name
// was given for is not saved and fails the command once the others are saved.
void run_download(arg_cursor& cursor, arg_vector args)
{
    std::vector<profile_id_t> numbers;
    std::vector<download_target> targets;
    while (cursor < 0 && parse_profile_number(cursor, args, numbers)) {
        const profile_id_t number = numbers.back();
        targets.push_back({number, take_file_name(cursor, args, missing_file_name_for(number))});
    }

    const std::vector<profile> records = download_profiles(numbers);
    const download_pairing pairing = pair_downloads(targets, records);

    for (const auto& match : pairing.saved) {
        write_edid_file(targets[match.target].file_name, records[match.record]);
    }
    for (const auto& match : pairing.saved) {
        std::cout << "Profile " << static_cast<unsigned>(records[match.record].id)
                  << " successfully downloaded and saved to file \""
                  << targets[match.target].file_name << "\"." << std::endl;
    }
    for (const std::size_t target : pairing.missing) {
        std::cerr << "Profile " << static_cast<unsigned>(targets[target].number)
                  << " was not returned by the device." << std::endl;
    }
    if (!pairing.unrequested.empty()) {
        const unsigned number = records[pairing.unrequested.front()].id;
        throw std::runtime_error("Profile " + std::to_string(number) +
                                 " was returned by the device without a file name to save it to.");
    }
    if (!pairing.missing.empty()) {
        throw false;  // reported above; ends the program with exit status 1
    }
}

}  // namespace vistrel
