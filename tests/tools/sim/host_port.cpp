#include "tests/tools/sim/host_port.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vistrel::sim_test {
namespace {

using clock = std::chrono::steady_clock;

int milliseconds_left(clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now()).count();
    return static_cast<int>(std::max<long long>(left, 0));
}

}  // namespace

host_port::host_port(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        throw std::runtime_error("cannot open [" + path + "]: " + std::strerror(errno));
    }
    termios settings{};
    if (::tcgetattr(fd_, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }
}

host_port::~host_port()
{
    close();
}

void host_port::close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void host_port::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::runtime_error(std::string("write failed: ") + std::strerror(errno));
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string host_port::read_lines(std::size_t count, std::chrono::milliseconds bound)
{
    const auto deadline = clock::now() + bound;
    std::string received;
    while (static_cast<std::size_t>(std::count(received.begin(), received.end(), '\n')) < count) {
        pollfd fd{fd_, POLLIN, 0};
        const int ready = ::poll(&fd, 1, milliseconds_left(deadline));
        if (ready <= 0) {
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        char buffer[4096];
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(got));
    }
    return received;
}

std::vector<std::string> host_port::read_pieces(std::chrono::milliseconds window)
{
    const auto deadline = clock::now() + window;
    std::vector<std::string> pieces;
    for (;;) {
        pollfd fd{fd_, POLLIN, 0};
        const int ready = ::poll(&fd, 1, milliseconds_left(deadline));
        if (ready <= 0) {
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            return pieces;
        }
        char buffer[4096];
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            return pieces;
        }
        pieces.emplace_back(buffer, static_cast<std::size_t>(got));
    }
}

std::string host_port::read_all(std::chrono::milliseconds window)
{
    std::string all;
    for (const auto& piece : read_pieces(window)) {
        all += piece;
    }
    return all;
}

std::optional<clock::time_point> host_port::wait_readable(std::chrono::milliseconds bound)
{
    const auto deadline = clock::now() + bound;
    for (;;) {
        pollfd fd{fd_, POLLIN, 0};
        const int ready = ::poll(&fd, 1, milliseconds_left(deadline));
        if (ready > 0) {
            return clock::now();
        }
        if (ready == 0 || errno != EINTR) {
            return std::nullopt;
        }
    }
}

host_port::read_failure host_port::read_until_failure(std::chrono::milliseconds bound)
{
    const auto deadline = clock::now() + bound;
    read_failure result;
    for (;;) {
        pollfd fd{fd_, POLLIN, 0};
        const int ready = ::poll(&fd, 1, milliseconds_left(deadline));
        if (ready == 0) {
            return result;
        }
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return result;
        }
        char buffer[4096];
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            result.failed = true;
            result.error = got < 0 ? errno : 0;
            return result;
        }
        result.received.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace vistrel::sim_test
