#include "tests/support/pseudo_terminal.hpp"

#include <pty.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace vistrel::test_support {

namespace {

int milliseconds_until(std::chrono::steady_clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() <= 0 ? 0 : static_cast<int>(left.count());
}

}  // namespace

pseudo_terminal::pseudo_terminal()
{
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    slave_path_ = name;
}

pseudo_terminal::~pseudo_terminal()
{
    hang_up();
    if (slave_ >= 0) {
        ::close(slave_);
    }
}

void pseudo_terminal::send(std::string_view bytes)
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

std::string pseudo_terminal::receive(std::size_t count, std::chrono::milliseconds bound)
{
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (bytes.size() < count) {
        const int left = milliseconds_until(deadline);
        if (left == 0) {
            break;
        }
        pollfd wait{master_, POLLIN, 0};
        if (::poll(&wait, 1, left) <= 0) {
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

std::string pseudo_terminal::receive_available(std::chrono::milliseconds first, std::chrono::milliseconds gap)
{
    std::string bytes;
    pollfd watch{master_, POLLIN, 0};
    auto wait = first;
    while (::poll(&watch, 1, static_cast<int>(wait.count())) > 0 && (watch.revents & POLLIN) != 0) {
        char chunk[4096];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
        wait = gap;  // gather what follows directly
    }
    return bytes;
}

std::string hang_up_as_end_of_file(std::string text)
{
    const std::pair<std::string_view, std::string_view> words[] = {
        {"system:5/read_some", "asio.misc:2/read_some"},
        {"read_some: Input/output error [system:5]", "read_some: End of file [asio.misc:2]"},
    };
    for (const auto& [from, to] : words) {
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
        }
    }
    return text;
}

void pseudo_terminal::hang_up()
{
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace vistrel::test_support
