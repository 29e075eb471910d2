#include "console/cli/command_handlers.hpp"

#include "console/events/item_version.hpp"
#include "console/events/system_information.hpp"
#include "console/link/exchange.hpp"

#include <iostream>

namespace vistrel {

void run_information(arg_cursor& /*cursor*/, arg_vector /*args*/)
{
    const system_information information = request_system_information();
    std::cout << "system information:\nhardware version: " << to_string(information.hardware)
              << "\nfirmware version: " << to_string(information.firmware)
              << "\njson schema version: " << to_string(information.json_schema)
              << "\nschema url: " << information.schema_url << std::endl;
}

}  // namespace vistrel
