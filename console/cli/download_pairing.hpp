// Which downloaded profile goes into which file.
#pragma once

#include "console/events/profile.hpp"
#include "console/link/profile_id.hpp"

#include <cstddef>
#include <string>
#include <vector>

namespace vistrel {

// One "<profile_number> <filename>" pair of the download command.
struct download_target {
    profile_id_t number = 0;
    std::string file_name;
};

struct download_pairing {
    struct match {
        std::size_t record = 0;  // index into the returned records
        std::size_t target = 0;  // index into the targets
    };
    std::vector<match> saved;              // in the order the records were returned
    std::vector<std::size_t> unrequested;  // records that no target asked for, in returned order
    std::vector<std::size_t> missing;      // targets whose slot did not come back, in asked order
};

// Pairs by slot number, whatever order the device answered in: each returned record goes to
// the first target of its number that has not been served yet. A number asked for twice is
// served by the first two records of that number.
download_pairing pair_downloads(const std::vector<download_target>& targets,
                                const std::vector<profile>& records);

}  // namespace vistrel
