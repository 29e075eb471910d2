// The request of an exchange as it goes on the wire: compact JSON and one LF.
#pragma once

#include "console/events/profile.hpp"
#include "console/link/profile_id.hpp"
#include "console/link/request_kind.hpp"

#include <vector>

namespace vistrel {

using request_bytes = std::vector<unsigned char>;

// {"category":..,"case":..,"sort":..} with "data" for the profile kinds: one object per
// list element, in the order given. Throws std::runtime_error " JSON request - " and the
// reason when the writer fails.
request_bytes build_request(request_kind kind);
request_bytes build_request(request_kind kind, const std::vector<profile>& profiles);
request_bytes build_request(request_kind kind, const std::vector<profile_id_t>& numbers);

}  // namespace vistrel
