#include "tests/soak/soak_tally.hpp"

#include <algorithm>

#include <iomanip>

namespace vistrel::soak {
namespace {

double in_ms(long long microseconds)
{
    return static_cast<double>(microseconds) / 1000.0;
}

}  // namespace

soak_tally::soak_tally(std::string part, std::ostream& out, std::size_t shown_problems)
    : part_(std::move(part)), out_(out), shown_problems_(shown_problems)
{
}

void soak_tally::count(fault_mode mode, bool failed)
{
    auto& figures = modes_.at(static_cast<std::size_t>(mode));
    ++figures.exchanges;
    figures.failures += failed ? 1 : 0;
    ++exchanges_;
}

void soak_tally::timing(std::string_view kind, std::chrono::microseconds elapsed, std::chrono::milliseconds limit,
                        const std::string& where)
{
    auto found = kinds_.find(kind);
    if (found == kinds_.end()) {
        found = kinds_.emplace(std::string(kind), kind_figures{}).first;
    }
    auto& figures = found->second;
    ++figures.exchanges;
    figures.total_us += elapsed.count();
    figures.longest_us = std::max<long long>(figures.longest_us, elapsed.count());
    const long long overrun = elapsed.count() - std::chrono::microseconds(limit).count();
    if (overrun > worst_overrun_us_) {
        worst_overrun_us_ = overrun;
        worst_where_ = where;
    }
}

void soak_tally::event(const std::string& what, unsigned long count)
{
    events_[what] += count;
}

void soak_tally::problem(const std::string& where, const std::string& what)
{
    if (problems_++ < shown_problems_) {
        out_ << "PROBLEM [" << part_ << "] " << where << ": " << what << std::endl;
    }
}

void soak_tally::print(std::ostream& out) const
{
    out << "== " << part_ << ": " << exchanges_ << " exchanges, " << problems_ << " problems\n";
    out << "   fault mode         exchanges  failed\n";
    for (std::size_t i = 0; i < modes_.size(); ++i) {
        if (modes_[i].exchanges == 0) {
            continue;
        }
        out << "   " << std::left << std::setw(18) << fault_name(static_cast<fault_mode>(i)) << std::right
            << std::setw(10) << modes_[i].exchanges << std::setw(8) << modes_[i].failures << '\n';
    }
    out << "   exchange kind      exchanges  mean ms  longest ms\n";
    for (const auto& [kind, figures] : kinds_) {
        const double mean =
            figures.exchanges == 0 ? 0.0 : in_ms(figures.total_us) / static_cast<double>(figures.exchanges);
        out << "   " << std::left << std::setw(18) << kind << std::right << std::setw(10) << figures.exchanges
            << std::setw(9) << std::fixed << std::setprecision(1) << mean << std::setw(12) << in_ms(figures.longest_us)
            << '\n';
    }
    if (!kinds_.empty()) {
        out << "   worst time over the time-out: " << std::fixed << std::setprecision(1) << in_ms(worst_overrun_us_)
            << " ms (" << worst_where_ << ")\n";
    }
    for (const auto& [what, count] : events_) {
        out << "   " << what << ": " << count << '\n';
    }
    out << std::defaultfloat << std::flush;
}

void soak_tally::check_simulator_run(const test_support::sim_process& sim, const std::string& where, unsigned long sent,
                                     std::size_t rules)
{
    const auto log = sim.log();
    const auto requests = std::count_if(log.begin(), log.end(), [](const test_support::sim_record& record) {
        return record.what == test_support::sim_record::kind::request;
    });
    const auto faults = std::count_if(log.begin(), log.end(), [](const test_support::sim_record& record) {
        return record.what == test_support::sim_record::kind::note && record.bytes.rfind("fault ", 0) == 0;
    });
    if (static_cast<unsigned long>(requests) != sent || static_cast<std::size_t>(faults) != rules) {
        problem(where,
                "the simulator read " + std::to_string(requests) + " requests and applied " + std::to_string(faults)
                    + " faults; sent " + std::to_string(sent) + " requests with " + std::to_string(rules) + " faults");
    }
}

unsigned long soak_tally::finish(const resource_snapshot& before, const resource_snapshot& after,
                                 std::chrono::milliseconds run_time)
{
    if (after.descriptors != before.descriptors || after.threads != before.threads) {
        problem("end", "resources changed");
    }
    print(out_);
    out_ << "   run time: " << static_cast<double>(run_time.count()) / 1000.0 << " s\n"
         << "   resources at the start: " << before << "\n"
         << "   resources at the end:   " << after << std::endl;
    return problems_;
}

unsigned long exchanges_to_draw(std::optional<unsigned long> count, unsigned long done, unsigned long block)
{
    const unsigned long left = count ? *count - done : block;
    return std::max(1UL, std::min(block, left) - (left > 1 ? 1 : 0));
}

std::string recent_log(const test_support::sim_process& sim, std::size_t lines)
{
    const std::string text = sim.log_text();
    std::size_t start = text.size();
    for (std::size_t seen = 0; start > 0 && seen <= lines;) {
        if (text[--start] == '\n') {
            ++seen;
        }
    }
    return "\n   simulator log:\n" + text.substr(start == 0 ? 0 : start + 1);
}

}  // namespace vistrel::soak
