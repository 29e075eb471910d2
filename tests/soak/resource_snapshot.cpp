#include "tests/soak/resource_snapshot.hpp"

#include <fstream>
#include <string>

#include "tests/support/process_resources.hpp"

namespace vistrel::soak {
namespace {

std::size_t resident_memory_kib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stoul(line.substr(6));
        }
    }
    return 0;
}

}  // namespace

resource_snapshot resource_snapshot::take()
{
    resource_snapshot snapshot;
    snapshot.threads = test_support::settled_thread_count();
    snapshot.descriptors = test_support::open_descriptor_count();
    snapshot.resident_kib = resident_memory_kib();
    return snapshot;
}

std::ostream& operator<<(std::ostream& out, const resource_snapshot& snapshot)
{
    return out << snapshot.descriptors << " descriptors, " << snapshot.threads << " threads, " << snapshot.resident_kib
               << " KiB resident";
}

}  // namespace vistrel::soak
