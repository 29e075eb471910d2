// Measures the time from the LF of a request to the first byte of the simulator's reply, as a
// host on the port sees it. Prints figures; asserts nothing.
//   sim_latency [EXCHANGES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/sim_fixture.hpp"
#include "tests/tools/sim/host_port.hpp"

namespace {

using clock_type = std::chrono::steady_clock;

struct request_kind {
    const char* name;
    std::string text;
};

}  // namespace

int main(int argc, char** argv)
{
    const long exchanges = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2000;
    if (exchanges <= 0) {
        std::fprintf(stderr, "usage: sim_latency [EXCHANGES]\n");
        return 2;
    }
    vistrel::test_support::sim_process sim;
    vistrel::sim_test::host_port host(sim.port());

    const request_kind kinds[] = {
        {"system information", R"({"category":"system","case":"get","sort":"information"})"},
        {"download of slot 3", R"({"category":"user profiles","case":"get","sort":"download","data":[{"profile":3}]})"},
        {"CAN get of 6 signals", R"({"category":"CAN","case":"get","sort":"signal"})"},
    };
    std::printf("LF to first reply byte, %ld exchanges each, one open port, simulator logging on\n", exchanges);
    for (const auto& kind : kinds) {
        const std::string request = kind.text + "\n";
        for (int i = 0; i < 50; ++i) {  // warm-up
            host.write(request);
            host.read_lines(1, std::chrono::seconds(2));
        }
        std::vector<double> micros;
        micros.reserve(static_cast<std::size_t>(exchanges));
        for (long i = 0; i < exchanges; ++i) {
            const auto sent = clock_type::now();
            host.write(request);  // the LF is the last byte of this write
            const auto first = host.wait_readable(std::chrono::seconds(2));
            if (!first) {
                std::fprintf(stderr, "no reply within 2 s\n");
                return 1;
            }
            micros.push_back(std::chrono::duration<double, std::micro>(*first - sent).count());
            host.read_lines(1, std::chrono::seconds(2));
        }
        std::sort(micros.begin(), micros.end());
        const auto at = [&micros](double share) {
            return micros[std::min(micros.size() - 1,
                                   static_cast<std::size_t>(share * static_cast<double>(micros.size())))];
        };
        std::printf("  %-22s min %7.1f us  median %7.1f us  p99 %7.1f us  max %8.1f us\n", kind.name, micros.front(),
                    at(0.5), at(0.99), micros.back());
    }
    return 0;
}
