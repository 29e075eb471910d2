#include "console/cli/command_handlers.hpp"

#include "console/cli/parse_profile_number.hpp"
#include "console/link/exchange.hpp"
#include "contract/device_contract.hpp"

#include <string_view>
#include <vector>

namespace vistrel {

// "all", or the profile numbers up to the first word that is not one. Success is silence.
void run_reset(arg_cursor& cursor, arg_vector args)
{
    std::vector<profile_id_t> numbers;
    if (cursor < 0 && std::string_view(args[cursor]) == "all") {
        ++cursor;
        for (int slot = 0; slot < contract::profile_slot_count; ++slot) {
            numbers.push_back(static_cast<profile_id_t>(slot));
        }
    } else {
        while (cursor < 0 && parse_profile_number(cursor, args, numbers)) {
        }
    }
    reset_profiles(numbers);
}

}  // namespace vistrel
