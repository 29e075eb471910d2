// Parse target for one "version" object of the system information.
#pragma once

#include "console/events/basic_json_data.hpp"
#include "console/events/item_version.hpp"

namespace vistrel {

class json_data_version : public basic_json_data {
public:
    json_data_version();
    // A copy takes the version being read with it and stores into its own fields.
    json_data_version(const json_data_version& other);
    json_data_version& operator=(const json_data_version& other);
    ~json_data_version() override = default;

    // Hands the version read so far to `target` and starts over, unless it is still 0.0
    // (which counts as not received). Returns whether it was handed over.
    bool present(item_version& target);

    // The version being read; members that a version object lacks keep their value.
    item_version pending;
};

}  // namespace vistrel
