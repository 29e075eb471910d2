// A stand-in for the device on a pseudo-terminal: it waits for each request line and
// answers with pieces that it writes one at a time, so that a test decides how the
// reply is split into reads.
#pragma once

#include "tests/support/pseudo_terminal.hpp"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace vistrel::link_test {

struct device_answer {
    std::vector<std::string> pieces;  // written in order, with `gap` between them
    std::chrono::milliseconds gap{40};
    bool hang_up_after = false;  // close the port once the pieces are written
};

class scripted_device {
public:
    scripted_device() = default;
    ~scripted_device();
    scripted_device(const scripted_device&) = delete;
    scripted_device& operator=(const scripted_device&) = delete;

    const std::string& port() const { return pty_.slave_path(); }

    // Answers the next request; the requests received are kept in order.
    void answer_next(device_answer answer);
    // Waits (bounded) until the answer is written; returns the request it answered.
    std::string finish();

private:
    test_support::pseudo_terminal pty_;
    std::thread worker_;
    std::string request_;
};

}  // namespace vistrel::link_test
