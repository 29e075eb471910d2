#include "tests/support/process_resources.hpp"

#include <chrono>
#include <filesystem>
#include <thread>

namespace vistrel::test_support {

namespace {

std::size_t entries(const char* folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

}  // namespace

std::size_t open_descriptor_count()
{
    return entries("/proc/self/fd");
}

std::size_t thread_count()
{
    return entries("/proc/self/task");
}

std::size_t settled_thread_count()
{
    using namespace std::chrono_literals;
    // Three equal readings 5 ms apart, or what is left after a second.
    std::size_t count = thread_count();
    int equal = 0;
    for (int reading = 0; reading < 200 && equal < 2; ++reading) {
        std::this_thread::sleep_for(5ms);
        const std::size_t next = thread_count();
        equal = next == count ? equal + 1 : 0;
        count = next;
    }
    return count;
}

}  // namespace vistrel::test_support
