#include "console/cli/download_pairing.hpp"

namespace vistrel {

download_pairing pair_downloads(const std::vector<download_target>& targets,
                                const std::vector<profile>& records)
{
    download_pairing pairing;
    std::vector<bool> served(targets.size(), false);
    for (std::size_t record = 0; record < records.size(); ++record) {
        bool paired = false;
        for (std::size_t target = 0; target < targets.size() && !paired; ++target) {
            if (!served[target] && targets[target].number == records[record].id) {
                served[target] = true;
                pairing.saved.push_back({record, target});
                paired = true;
            }
        }
        if (!paired) {
            pairing.unrequested.push_back(record);
        }
    }
    for (std::size_t target = 0; target < targets.size(); ++target) {
        if (!served[target]) {
            pairing.missing.push_back(target);
        }
    }
    return pairing;
}

}  // namespace vistrel
