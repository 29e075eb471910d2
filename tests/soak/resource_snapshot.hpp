// What the process holds at one moment: descriptors, threads (once their count has settled)
// and resident memory.
#pragma once

#include <cstddef>
#include <ostream>

namespace vistrel::soak {

struct resource_snapshot {
    std::size_t descriptors = 0;
    std::size_t threads = 0;
    std::size_t resident_kib = 0;  // 0 where the system does not tell

    static resource_snapshot take();
};

// "N descriptors, N threads, N KiB resident"
std::ostream& operator<<(std::ostream& out, const resource_snapshot& snapshot);

}  // namespace vistrel::soak
