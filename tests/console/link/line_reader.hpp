// A reader for the link tests: one message per LF-ended line.
#pragma once

#include "console/link/serial_reader.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace vistrel::link_test {

// A line holding '!' cannot be read: the reader throws as soon as it sees the '!',
// even before the line is complete.
class line_reader : public reader<unsigned char> {
public:
    bool do_call(unsigned char* data, std::size_t& length) override
    {
        ++offers;
        changed.notify_all();
        const auto end = data + length;
        const auto line_end = std::find(data, end, '\n');
        if (std::find(data, line_end, '!') != line_end) {
            throw std::runtime_error("unreadable line");
        }
        if (line_end == end) {
            return true;
        }
        messages.emplace_back(data, line_end);
        length = static_cast<std::size_t>(end - (line_end + 1));
        return false;
    }

    void on_failure(std::exception_ptr failure) override
    {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            failures.emplace_back(error.what());
        }
        changed.notify_all();
    }

    // Waits, at most `bound`, until the condition holds; returns whether it does.
    template <typename Condition>
    bool wait_until(Condition condition, std::chrono::milliseconds bound = std::chrono::seconds(5))
    {
        std::unique_lock<std::mutex> guard(lock());
        return changed.wait_for(guard, bound, [&] { return condition(*this); });
    }

    bool wait_for_messages(std::size_t count)
    {
        return wait_until([count](const line_reader& r) { return r.messages.size() >= count; });
    }

    bool wait_for_offers(std::size_t count)
    {
        return wait_until([count](const line_reader& r) { return r.offers >= count; });
    }

    bool wait_for_failures(std::size_t count)
    {
        return wait_until([count](const line_reader& r) { return r.failures.size() >= count; });
    }

    // The reader's lock, for reading what it collected.
    std::unique_lock<std::mutex> guard() { return std::unique_lock<std::mutex>(lock()); }

    // Guarded by the lock.
    std::vector<std::string> messages;
    std::vector<std::string> failures;
    std::size_t offers = 0;

private:
    std::condition_variable changed;
};

}  // namespace vistrel::link_test
