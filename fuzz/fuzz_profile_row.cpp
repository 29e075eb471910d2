// A fuzzed EDID (up to 256 bytes, the rest zero) through the profile row printer, with and
// without labels and the data-string column.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "console/events/command_context.hpp"
#include "console/events/profile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vistrel::edid_bytes edid{};
    std::copy_n(data, std::min(size, edid.size()), edid.begin());

    (void)vistrel::find_device_block(vistrel::edid_extension_block(edid));
    (void)vistrel::format_profile_row(edid, false);

    vistrel::command_context context;
    context.show_data_string = 1;
    vistrel::current_command_context = &context;
    (void)vistrel::format_profile_row(edid, true);
    vistrel::current_command_context = nullptr;
    return 0;
}
