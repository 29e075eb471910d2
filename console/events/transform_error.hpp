// Raised when a reply belongs to another category than the event it is converted into;
// the waiting command drops such a reply and waits for the next one.
#pragma once

#include <stdexcept>

namespace vistrel {

class transform_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vistrel
