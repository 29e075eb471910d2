#include "tests/console/link/pty_pair.hpp"

#include <pty.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace vistrel::link_test {

pty_pair::pty_pair()
{
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    slave_path_ = name;
}

pty_pair::~pty_pair()
{
    hang_up();
    if (slave_ >= 0) {
        ::close(slave_);
    }
}

void pty_pair::send(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw std::system_error(errno, std::generic_category(), "write to pty master");
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string pty_pair::receive(std::size_t count, std::chrono::milliseconds bound)
{
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd wait{master_, POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char chunk[512];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

void pty_pair::hang_up()
{
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

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

}  // namespace vistrel::link_test
