// Downloaded profiles go to the file named after their slot, whatever order they came in.
#include "console/cli/download_pairing.hpp"

#include <gtest/gtest.h>

#include <utility>

namespace vistrel {
namespace {

std::vector<profile> records_of(const std::vector<int>& slots)
{
    std::vector<profile> records;
    for (const int slot : slots) {
        profile record;
        record.id = static_cast<std::uint8_t>(slot);
        records.push_back(record);
    }
    return records;
}

std::vector<download_target> targets_of(const std::vector<int>& slots)
{
    std::vector<download_target> targets;
    for (const int slot : slots) {
        targets.push_back({static_cast<profile_id_t>(slot), "slot" + std::to_string(slot)});
    }
    return targets;
}

struct pairing_case {
    const char* name;
    std::vector<int> asked;
    std::vector<int> returned;
    std::vector<std::pair<std::size_t, std::size_t>> saved;  // (record, target)
    std::vector<std::size_t> unrequested;
    std::vector<std::size_t> missing;
};

TEST(pair_downloads, pairs_by_slot_number)
{
    const pairing_case cases[] = {
        {"in the order asked", {3, 5}, {3, 5}, {{0, 0}, {1, 1}}, {}, {}},
        {"reversed", {3, 5}, {5, 3}, {{0, 1}, {1, 0}}, {}, {}},
        {"one missing", {3, 4, 5}, {5, 3}, {{0, 2}, {1, 0}}, {}, {1}},
        {"nothing returned", {1, 2}, {}, {}, {}, {0, 1}},
        {"one not asked for", {3}, {3, 4}, {{0, 0}}, {1}, {}},
        {"another slot instead", {3, 4}, {4, 6}, {{0, 1}}, {1}, {0}},
        {"same slot asked twice", {2, 2}, {2, 2}, {{0, 0}, {1, 1}}, {}, {}},
        {"same slot asked twice, returned once", {2, 2}, {2}, {{0, 0}}, {}, {1}},
        {"same slot returned twice, asked once", {2}, {2, 2}, {{0, 0}}, {1}, {}},
        {"empty request", {}, {}, {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pairing = pair_downloads(targets_of(c.asked), records_of(c.returned));
        std::vector<std::pair<std::size_t, std::size_t>> saved;
        for (const auto& match : pairing.saved) {
            saved.emplace_back(match.record, match.target);
        }
        EXPECT_EQ(saved, c.saved);
        EXPECT_EQ(pairing.unrequested, c.unrequested);
        EXPECT_EQ(pairing.missing, c.missing);
    }
}

}  // namespace
}  // namespace vistrel
