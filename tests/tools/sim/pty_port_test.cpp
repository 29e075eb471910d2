#include "tools/sim/pty_port.hpp"

#include <gtest/gtest.h>

#include <vector>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vistrel {
namespace {

using change = sim::pty_port::change;

bool exclusive(int fd)
{
    int value = 0;
    return ::ioctl(fd, TIOCGEXCL, &value) == 0 && value != 0;
}

// Open and close events of the hosts, as the server sees them when it looks.
TEST(pty_port, follows_hosts_and_frees_the_port_only_once_the_last_one_has_gone)
{
    sim::pty_port port;
    const int first = ::open(port.slave_path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(first, 0);
    ::ioctl(first, TIOCEXCL);
    EXPECT_EQ(port.refresh(), std::vector<change>{change::opened});
    EXPECT_TRUE(port.host_present());
    const auto first_session = port.session();

    // The first host goes and the next one opens and asks for exclusive use before the
    // server looks again: both events arrive together.
    ::ioctl(first, TIOCNXCL);
    ::close(first);
    const int next = ::open(port.slave_path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(next, 0);
    ::ioctl(next, TIOCEXCL);
    EXPECT_EQ(port.refresh(), (std::vector<change>{change::closed, change::session_ended, change::opened}));
    port.forget_host();  // what the server does at the end of a session
    EXPECT_TRUE(port.host_present());
    EXPECT_GT(port.session(), first_session);
    EXPECT_TRUE(exclusive(next)) << "the new host lost the exclusive use it asked for";

    ::close(next);
    EXPECT_EQ(port.refresh(), (std::vector<change>{change::closed, change::session_ended}));
    EXPECT_FALSE(port.host_present());
}

}  // namespace
}  // namespace vistrel
