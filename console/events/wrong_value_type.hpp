// The failure for a reply member whose value has the wrong type.
#pragma once

#include <cstdint>
#include <string_view>

namespace vistrel {

// Throws std::runtime_error "Wrong value type [<type>] for key [<key>]."; `type` is the
// type the key requires. An empty key leaves out the key part.
[[noreturn]] void wrong_value_type(std::uint32_t type, std::string_view key);

}  // namespace vistrel
