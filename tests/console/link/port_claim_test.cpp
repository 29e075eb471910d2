// Exclusive use of the port on a pseudo-terminal: while one channel holds the port, every
// other opener is refused (another channel, another process that locks it, an ordinary
// user's plain open), the holder is unharmed, and the claim ends with the close or the death
// of its holder.
#include "console/link/port_claim.hpp"
#include "console/link/serial_channel.hpp"
#include "tests/support/pseudo_terminal.hpp"

#include <boost/system/system_error.hpp>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vistrel::link_test {
namespace {

using namespace std::chrono_literals;

// What open() of a channel on `path` throws, or nothing when it opened (it is closed again).
std::optional<boost::system::system_error> open_failure_of(const std::string& path)
{
    serial_channel channel;
    channel.set_port_name(path);
    try {
        channel.open();
    } catch (const boost::system::system_error& error) {
        return error;
    }
    return std::nullopt;
}

void expect_in_use(const std::optional<boost::system::system_error>& failure)
{
    ASSERT_TRUE(failure.has_value()) << "the port was opened";
    EXPECT_EQ(failure->code(), make_error_code(port_claim_error::in_use));
    EXPECT_STREQ(failure->what(), "open: Port is in use by another program [port:1]");
}

// A child process that opens `path` and takes an exclusive lock on it, the way terminal
// programs such as picocom do, and holds it until it is killed.
class locking_process {
public:
    explicit locking_process(const std::string& path)
    {
        int ready[2];
        if (::pipe(ready) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
            const char answer = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
            [[maybe_unused]] const auto written = ::write(ready[1], &answer, 1);
            ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        char answer = 'n';
        locked_ = pid_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~locking_process() { kill(); }
    locking_process(const locking_process&) = delete;
    locking_process& operator=(const locking_process&) = delete;

    bool locked() const { return locked_; }
    void kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    bool locked_ = false;
};

// The errno of a plain open of `path` by an ordinary user (uid 65534 when this test runs as
// root), 0 when it succeeds.
int plain_open_errno_of_an_ordinary_user(const std::string& path)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(100);
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::_exit(fd >= 0 ? 0 : errno);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool terminal_is_exclusive(int fd)
{
    int exclusive = 0;
    return ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

class port_claim_on_pty : public ::testing::Test {
protected:
    void SetUp() override
    {
        holder.set_port_name(device.slave_path());
        // Everyone may open the terminal, so that only the claim can refuse the ordinary user.
        ::chmod(device.slave_path().c_str(), 0666);
    }

    test_support::pseudo_terminal device;
    serial_channel holder;
};

TEST_F(port_claim_on_pty, a_second_channel_is_refused_and_the_holder_goes_on)
{
    holder.open();
    expect_in_use(open_failure_of(device.slave_path()));
    // The refusal left the holder's port as it was.
    ASSERT_TRUE(holder.is_open());
    holder.write({'o', 'k', '\n'});
    EXPECT_EQ(device.receive(3, 2s), "ok\n");
    holder.close();
    EXPECT_FALSE(open_failure_of(device.slave_path()).has_value());
}

TEST_F(port_claim_on_pty, refused_while_another_process_locks_the_port_until_it_dies)
{
    locking_process other(device.slave_path());
    ASSERT_TRUE(other.locked());
    expect_in_use(open_failure_of(device.slave_path()));
    other.kill();
    EXPECT_FALSE(open_failure_of(device.slave_path()).has_value());
}

TEST_F(port_claim_on_pty, another_process_cannot_lock_the_port_while_it_is_held)
{
    holder.open();
    {
        locking_process other(device.slave_path());
        EXPECT_FALSE(other.locked());
    }
    holder.close();
    locking_process later(device.slave_path());
    EXPECT_TRUE(later.locked());
}

TEST_F(port_claim_on_pty, an_ordinary_user_cannot_open_the_held_port_at_all)
{
    const int watcher = ::open(device.slave_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(watcher, 0);
    holder.open();
    EXPECT_TRUE(terminal_is_exclusive(watcher));
    EXPECT_EQ(plain_open_errno_of_an_ordinary_user(device.slave_path()), EBUSY);
    // Also after a refused second channel (which, run as root, got past the kernel's check).
    expect_in_use(open_failure_of(device.slave_path()));
    EXPECT_TRUE(terminal_is_exclusive(watcher));
    EXPECT_EQ(plain_open_errno_of_an_ordinary_user(device.slave_path()), EBUSY);

    // The close gives the terminal back, although others still have it open.
    holder.close();
    EXPECT_FALSE(terminal_is_exclusive(watcher));
    EXPECT_EQ(plain_open_errno_of_an_ordinary_user(device.slave_path()), 0);
    ::close(watcher);
}

TEST(port_claim, the_kernels_refusal_of_an_exclusive_terminal_reads_as_in_use)
{
    using boost::system::error_code;
    EXPECT_EQ(open_failure(error_code(EBUSY, boost::system::system_category())),
              make_error_code(port_claim_error::in_use));
    for (const int other : {ENOENT, EACCES, EIO}) {
        const error_code error(other, boost::system::system_category());
        EXPECT_EQ(open_failure(error), error);
    }
    EXPECT_EQ(make_error_code(port_claim_error::in_use).message(), "Port is in use by another program");
}

}  // namespace
}  // namespace vistrel::link_test
