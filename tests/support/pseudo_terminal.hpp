// A pseudo-terminal that stands in for the device's serial port in tests: the test plays the
// device on the master side, the code under test opens slave_path() by name. The terminal is
// raw and keeps a slave descriptor of its own, so that the master side never sees a hang-up
// while the code under test has the port closed. Free of any test framework.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace vistrel::test_support {

class pseudo_terminal {
public:
    // Throws std::system_error when no pseudo-terminal can be opened.
    pseudo_terminal();
    ~pseudo_terminal();
    pseudo_terminal(const pseudo_terminal&) = delete;
    pseudo_terminal& operator=(const pseudo_terminal&) = delete;

    const std::string& slave_path() const { return slave_path_; }

    // Writes all bytes to the master side, as if the device had sent them; throws
    // std::system_error when they cannot be written (the terminal has hung up).
    void send(std::string_view bytes);
    // The same for any contiguous bytes with data() and size(), e.g. a QByteArray.
    template <typename Bytes>
    requires requires(const Bytes& b)
    {
        b.data();
        b.size();
    }
    void send(const Bytes& bytes) { send(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()))); }
    // Reads from the master side until `count` bytes have arrived or `bound` has passed.
    std::string receive(std::size_t count, std::chrono::milliseconds bound);
    // What the code under test has written: waits up to `first` for the first piece and up
    // to `gap` for each following one.
    std::string receive_available(std::chrono::milliseconds first, std::chrono::milliseconds gap);
    // Closes the master side: the port hangs up.
    void hang_up();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
};

// A read from a pseudo-terminal whose master side closes fails with the end of the file, or,
// in the moment while the kernel hangs the terminal up, with EIO: both say that the device has
// hung up. Returns `text` with Boost's words for the second turned into those for the first.
std::string hang_up_as_end_of_file(std::string text);

}  // namespace vistrel::test_support
