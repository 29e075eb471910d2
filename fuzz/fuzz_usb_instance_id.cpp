// A fuzzed device instance ID through the parser of the Windows USB backend. An ID that reads
// must read the same with its letters in upper case, and the canonical ID of what it read
// must read back to the same identity.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/link/usb_instance_id.hpp"

namespace {

bool same(const vistrel::usb_instance_id& a, const vistrel::usb_instance_id& b)
{
    return a.vendor_id == b.vendor_id && a.product_id == b.product_id && a.interface_number == b.interface_number;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string id(reinterpret_cast<const char*>(data), size);
    const auto parsed = vistrel::parse_usb_instance_id(id);

    std::string upper = id;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    const auto parsed_upper = vistrel::parse_usb_instance_id(upper);
    if (parsed.has_value() != parsed_upper.has_value() || (parsed && !same(*parsed, *parsed_upper))) {
        std::abort();
    }
    if (!parsed) {
        return 0;
    }

    char canonical[64];
    if (parsed->interface_number) {
        std::snprintf(canonical, sizeof canonical, "USB\\VID_%04X&PID_%04X&MI_%02X\\6&1", parsed->vendor_id,
                      parsed->product_id, static_cast<unsigned>(*parsed->interface_number));
    } else {
        std::snprintf(canonical, sizeof canonical, "USB\\VID_%04X&PID_%04X\\0001", parsed->vendor_id,
                      parsed->product_id);
    }
    const auto again = vistrel::parse_usb_instance_id(canonical);
    if (!again || !same(*parsed, *again)) {
        std::abort();
    }
    return 0;
}
