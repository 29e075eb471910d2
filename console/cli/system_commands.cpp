#include "console/cli/system_commands.hpp"

#include "console/cli/edid_file.hpp"
#include "console/cli/profile_commands.hpp"
#include "console/events/command_context.hpp"
#include "console/link/exchange.hpp"
#include "console/link/usb_discovery.hpp"
#include "contract/device_contract.hpp"

#include <cstdint>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace vistrel {

void set_port(arg_cursor& cursor, arg_vector args)
{
    if (cursor >= 0) {
        throw std::runtime_error("incorrectly specified COM port");
    }
    set_port_name(args[cursor]);
    ++cursor;
}

void list_devices(arg_cursor& /*cursor*/, arg_vector /*args*/)
{
    const std::vector<std::string> ports =
        find_device_ports(contract::vendor_id, contract::product_id, contract::highest_interface);
    std::cout << "Found devices:\n";
    for (const auto& port : ports) {
        std::cout << port << '\n';
    }
    std::cout << std::endl;
    devices_listed = true;
}

void set_timeout(arg_cursor& cursor, arg_vector args)
{
    if (cursor >= 0) {
        throw std::runtime_error("incorrectly specified timeout");
    }
    if (current_command_context == nullptr) {
        throw std::logic_error("-t used outside a command");
    }
    const long value = std::stol(args[cursor]);
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        throw std::out_of_range("stol argument out of range");
    }
    current_command_context->timeout = value;
    ++cursor;
}

void run_information(arg_cursor& /*cursor*/, arg_vector /*args*/)
{
    const system_information information = request_system_information();
    std::cout << "system information:\nhardware version: " << to_string(information.hardware)
              << "\nfirmware version: " << to_string(information.firmware)
              << "\njson schema version: " << to_string(information.json_schema)
              << "\nschema url: " << information.schema_url << std::endl;
}

void run_check(arg_cursor& cursor, arg_vector args)
{
    const std::string name = take_file_name(cursor, args, "missing file name");
    profile record;
    record.id = 255;
    read_edid_file(name, record);
    write_edid_file(name + ".D", record);
}

}  // namespace vistrel
