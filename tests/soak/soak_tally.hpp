// The figures of one part of the soak: exchanges and failures per fault mode, the time the
// exchanges took, the worst overrun of a time-out, counted events, and the problems found.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/soak/fault_plan.hpp"
#include "tests/soak/resource_snapshot.hpp"
#include "tests/support/sim_fixture.hpp"

namespace vistrel::soak {

class soak_tally {
public:
    // Problems are printed to `out` as they are found, the first `shown_problems` of them.
    soak_tally(std::string part, std::ostream& out, std::size_t shown_problems = 60);

    void count(fault_mode mode, bool failed);
    // An exchange of this kind took `elapsed` against its time-out `limit`.
    void timing(std::string_view kind, std::chrono::microseconds elapsed, std::chrono::milliseconds limit,
                const std::string& where);
    // Something worth a figure that is no problem (a simulator run, a renewed channel...).
    void event(const std::string& what, unsigned long count = 1);
    void problem(const std::string& where, const std::string& what);

    unsigned long exchanges() const { return exchanges_; }
    unsigned long problems() const { return problems_; }
    // The worst time beyond the time-out, in microseconds (negative: all ended before it).
    long long worst_overrun_us() const { return worst_overrun_us_; }

    void print(std::ostream& out) const;

    // After a simulator run in which every exchange went as planned: the simulator must have
    // read `sent` requests and applied `rules` fault rules.
    void check_simulator_run(const test_support::sim_process& sim, const std::string& where, unsigned long sent,
                             std::size_t rules);
    // The end of a part: the resources must be those of the start; prints the figures and
    // returns the number of problems.
    unsigned long finish(const resource_snapshot& before, const resource_snapshot& after,
                         std::chrono::milliseconds run_time);

private:
    struct mode_figures {
        unsigned long exchanges = 0;
        unsigned long failures = 0;
    };
    struct kind_figures {
        unsigned long exchanges = 0;
        long long total_us = 0;
        long long longest_us = 0;
    };

    std::string part_;
    std::ostream& out_;
    std::size_t shown_problems_;
    std::array<mode_figures, fault_mode_count> modes_{};
    std::map<std::string, kind_figures, std::less<>> kinds_;
    std::map<std::string, unsigned long> events_;
    unsigned long exchanges_ = 0;
    unsigned long problems_ = 0;
    long long worst_overrun_us_ = -1'000'000'000'000LL;
    std::string worst_where_;
};

// How many exchanges to draw for the next simulator run, of `block` at most: the audit exchange
// at the end of a run counts among the `count` of the part (none: as many as the time allows).
unsigned long exchanges_to_draw(std::optional<unsigned long> count, unsigned long done, unsigned long block);

// The simulator's last `lines` log lines, to show with a problem what the device saw and did.
std::string recent_log(const test_support::sim_process& sim, std::size_t lines = 12);

}  // namespace vistrel::soak
