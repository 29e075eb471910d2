#include "console/cli/command_handlers.hpp"

#include "console/events/command_context.hpp"
#include "console/events/profile_row.hpp"
#include "console/link/exchange.hpp"
#include "contract/device_contract.hpp"

#include <iostream>
#include <string>
#include <vector>

namespace vistrel {
namespace {

constexpr std::size_t table_inner_width = 97;  // between the outer bars of the 99-character frame

const std::string frame_line = "+" + std::string(table_inner_width, '-') + "+";
const std::string separator_line = "|" + std::string(table_inner_width, '-') + "|";

std::string title_line()
{
    std::string line = "| Available profiles:";
    line.resize(table_inner_width + 1, ' ');
    return line + "|";
}

}  // namespace

// Downloads every slot and prints one table row per returned profile, with the data string;
// prints nothing at all when the device returned no profile.
void run_list(arg_cursor& /*cursor*/, arg_vector /*args*/)
{
    std::vector<profile_id_t> numbers;
    for (int slot = 0; slot < contract::profile_slot_count; ++slot) {
        numbers.push_back(static_cast<profile_id_t>(slot));
    }
    const std::vector<profile> records = download_profiles(numbers);
    if (records.empty()) {
        return;
    }
    if (current_command_context != nullptr) {
        current_command_context->show_data_string = 1;
    }

    std::cout << frame_line << std::endl;
    std::cout << title_line() << '\n';
    std::cout << separator_line << std::endl;
    std::cout << "| profile slot | resolution   | screen size | part number   | data string     "
                 "| ECU     | CAN BUS |"
              << std::endl;
    std::cout << separator_line << std::endl;
    for (const profile& record : records) {
        std::cout << "|      " << static_cast<unsigned>(record.id) << "       | "
                  << format_profile_row(record.edid, false) << " |" << std::endl;
    }
    std::cout << frame_line << std::endl;
}

}  // namespace vistrel
