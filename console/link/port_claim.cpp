#include "console/link/port_claim.hpp"

#include <string>

namespace vistrel {
namespace {

class port_claim_category_impl final : public boost::system::error_category {
public:
    const char* name() const noexcept override { return "port"; }
    std::string message(int value) const override
    {
        if (value == static_cast<int>(port_claim_error::in_use)) {
            return "Port is in use by another program";
        }
        return "Unknown port error " + std::to_string(value);
    }
};

}  // namespace

const boost::system::error_category& port_claim_category()
{
    static const port_claim_category_impl category;
    return category;
}

boost::system::error_code make_error_code(port_claim_error error)
{
    return {static_cast<int>(error), port_claim_category()};
}

}  // namespace vistrel
