#include "tests/console/link/scripted_device.hpp"

namespace vistrel::link_test {

scripted_device::~scripted_device()
{
    if (worker_.joinable()) {
        worker_.join();
    }
}

void scripted_device::answer_next(device_answer answer)
{
    finish();
    worker_ = std::thread([this, answer = std::move(answer)] {
        // The request ends with its LF; every wait is bounded.
        request_.clear();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((request_.empty() || request_.back() != '\n') && std::chrono::steady_clock::now() < deadline) {
            request_ += pty_.receive(1, std::chrono::milliseconds(100));
        }
        for (std::size_t i = 0; i < answer.pieces.size(); ++i) {
            if (i > 0) {
                std::this_thread::sleep_for(answer.gap);
            }
            pty_.send(answer.pieces[i]);
        }
        if (answer.hang_up_after) {
            std::this_thread::sleep_for(answer.gap);
            pty_.hang_up();
        }
    });
}

std::string scripted_device::finish()
{
    if (worker_.joinable()) {
        worker_.join();
    }
    return request_;
}

}  // namespace vistrel::link_test
