// A pseudo-terminal that stands in for the device's serial port in the link tests.
#pragma once

#include <chrono>
#include <string>

namespace vistrel::link_test {

// The test plays the device on the master side; the code under test opens slave_path.
// The pair keeps its own slave descriptor open, so that the master side never sees a
// hang-up while the code under test has the port closed.
class pty_pair {
public:
    pty_pair();
    ~pty_pair();
    pty_pair(const pty_pair&) = delete;
    pty_pair& operator=(const pty_pair&) = delete;

    const std::string& slave_path() const { return slave_path_; }

    // Writes all bytes to the master side.
    void send(const std::string& bytes);
    // Reads from the master side until `count` bytes have arrived or `bound` has passed.
    std::string receive(std::size_t count, std::chrono::milliseconds bound);
    // Closes the master side: the port hangs up.
    void hang_up();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
};

// Open descriptors and threads of this process, to show that nothing is left behind.
std::size_t open_descriptor_count();
std::size_t thread_count();

}  // namespace vistrel::link_test
