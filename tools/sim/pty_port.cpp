#include "tools/sim/pty_port.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vistrel::sim {
namespace {

[[noreturn]] void fail(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

pty_port::pty_port()
{
    master_fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_fd_ < 0) {
        fail("posix_openpt");
    }
    if (::grantpt(master_fd_) != 0 || ::unlockpt(master_fd_) != 0) {
        const int saved = errno;
        ::close(master_fd_);
        errno = saved;
        fail("unlockpt");
    }
    char name[PATH_MAX];
    if (::ptsname_r(master_fd_, name, sizeof name) != 0) {
        const int saved = errno;
        ::close(master_fd_);
        errno = saved;
        fail("ptsname");
    }
    slave_path_ = name;

    kept_slave_fd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (kept_slave_fd_ < 0) {
        const int saved = errno;
        ::close(master_fd_);
        errno = saved;
        fail("open slave");
    }
    termios settings{};
    if (::tcgetattr(kept_slave_fd_, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(kept_slave_fd_, TCSANOW, &settings);
    }
    const int flags = ::fcntl(master_fd_, F_GETFL);
    ::fcntl(master_fd_, F_SETFL, flags | O_NONBLOCK);

    // Our own open happened before the watch exists, so every event counted is a host's.
    watch_fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_fd_ >= 0 && ::inotify_add_watch(watch_fd_, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(watch_fd_);
        watch_fd_ = -1;
    }
}

pty_port::~pty_port()
{
    for (const int fd : {watch_fd_, kept_slave_fd_, master_fd_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

std::vector<pty_port::change> pty_port::refresh()
{
    std::vector<change> result;
    if (watch_fd_ < 0) {
        return result;
    }
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(watch_fd_, buffer, sizeof buffer);
        if (got <= 0) {
            break;  // EAGAIN: nothing more for now
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_OPEN) != 0) {
                result.push_back(change::opened);
                if (hosts_++ == 0) {
                    ++session_;
                }
            }
            if ((event->mask & IN_CLOSE) != 0) {
                result.push_back(change::closed);
                if (hosts_ > 0 && --hosts_ == 0) {
                    result.push_back(change::session_ended);
                }
            }
            if ((event->mask & IN_Q_OVERFLOW) != 0) {
                // Events were lost; assume a host is still there rather than drop its replies.
                hosts_ = hosts_ == 0 ? 1 : hosts_;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return result;
}

void pty_port::forget_host()
{
    ::tcflush(kept_slave_fd_, TCIFLUSH);
    // A host may have asked for exclusive use; the port is free again once it has gone. A
    // host that has opened the port since, before its open was seen here, keeps what it asked.
    if (hosts_ == 0) {
        ::ioctl(kept_slave_fd_, TIOCNXCL);
    }
}

long pty_port::write_some(std::string_view bytes)
{
    if (master_fd_ < 0) {
        errno = EIO;
        return -1;
    }
    for (;;) {
        const ssize_t written = ::write(master_fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        return static_cast<long>(written);
    }
}

void pty_port::hang_up()
{
    if (master_fd_ >= 0) {
        ::close(master_fd_);
        master_fd_ = -1;
    }
}

}  // namespace vistrel::sim
