// The device's versions and the address of its JSON schema.
#pragma once

#include <string>

#include "console/events/item_version.hpp"

namespace vistrel {

struct system_information {
    item_version hardware;
    item_version firmware;
    item_version json_schema;
    std::string schema_url;
};

}  // namespace vistrel
