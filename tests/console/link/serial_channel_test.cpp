// The serial channel and its receive thread over a pseudo-terminal: framing of the
// received bytes into messages, the stop, failures, and what is left behind.
#include "console/link/serial_channel.hpp"
#include "tests/console/link/line_reader.hpp"
#include "tests/support/process_resources.hpp"
#include "tests/support/pseudo_terminal.hpp"

#include <boost/system/system_error.hpp>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vistrel::link_test {
namespace {

using namespace std::chrono_literals;

// A channel on a fresh pseudo-terminal; every test stops its reading before the end.
class channel_on_pty : public ::testing::Test {
protected:
    void open_port()
    {
        channel.set_port_name(device.slave_path());
        channel.open();
    }

    // Starts reading for target and sends each piece once the previous one was offered.
    void send_in_pieces(line_reader& target, const std::vector<std::string>& pieces)
    {
        channel.start_reading(target);
        for (const auto& piece : pieces) {
            std::size_t offers = 0;
            {
                const auto guard = target.guard();
                offers = target.offers;
            }
            device.send(piece);
            ASSERT_TRUE(target.wait_for_offers(offers + 1)) << "piece not offered: " << piece;
        }
    }

    void stop(line_reader& target)
    {
        target.deactivate();
        channel.close();
    }

    test_support::pseudo_terminal device;
    serial_channel channel;
};

struct framing_case {
    const char* name;
    std::vector<std::string> pieces;  // written one after the other, each read on its own
    std::vector<std::string> messages;
};

class channel_framing : public channel_on_pty, public ::testing::WithParamInterface<framing_case> {};

TEST_P(channel_framing, delivers_every_complete_message_once_and_in_order)
{
    open_port();
    line_reader target;
    send_in_pieces(target, GetParam().pieces);
    target.wait_for_messages(GetParam().messages.size());
    {
        const auto guard = target.guard();
        EXPECT_EQ(target.messages, GetParam().messages);
        EXPECT_TRUE(target.failures.empty());
    }
    stop(target);
}

INSTANTIATE_TEST_SUITE_P(
    pieces, channel_framing,
    ::testing::Values(framing_case{"one_read", {"alpha\n"}, {"alpha"}},
                      framing_case{"split_in_three", {"al", "ph", "a\n"}, {"alpha"}},
                      framing_case{"two_in_one_read", {"one\ntwo\n"}, {"one", "two"}},
                      framing_case{
                          "three_in_one_read_after_a_piece", {"on", "e\ntwo\nthree\n"}, {"one", "two", "three"}},
                      framing_case{"next_begins_in_the_same_read", {"one\ntw", "o\n"}, {"one", "two"}},
                      framing_case{"unfinished_stays_buffered", {"one\ntwo"}, {"one"}}),
    [](const ::testing::TestParamInfo<framing_case>& tested) { return std::string(tested.param.name); });

TEST_F(channel_on_pty, offers_bytes_left_by_one_exchange_to_the_next_one_first)
{
    open_port();
    line_reader first;
    send_in_pieces(first, {"one\ntw"});
    stop(first);
    EXPECT_EQ(channel.buffered(), 2u);

    open_port();
    line_reader second;
    send_in_pieces(second, {"o\n"});
    const auto guard = second.guard();
    EXPECT_EQ(second.messages, std::vector<std::string>{"two"});
    EXPECT_EQ(channel.buffered(), 0u);
}

TEST_F(channel_on_pty, unreadable_message_fails_once_and_reading_resumes_after_its_line)
{
    open_port();
    line_reader target;
    channel.start_reading(target);
    // The '!' is seen before its line is complete: the rest of that line is dropped.
    device.send("good\nba!d");
    ASSERT_TRUE(target.wait_for_failures(1));
    device.send(" rest of the bad line");
    device.send("\nnext\n");
    ASSERT_TRUE(target.wait_for_messages(2));
    stop(target);
    EXPECT_EQ(target.messages, (std::vector<std::string>{"good", "next"}));
    EXPECT_EQ(target.failures, std::vector<std::string>{"unreadable line"});
}

TEST_F(channel_on_pty, a_line_dropped_when_the_port_closed_does_not_swallow_the_next_opening_s_message)
{
    open_port();
    line_reader first;
    channel.start_reading(first);
    device.send("ba!d");  // unreadable, and its end never comes
    ASSERT_TRUE(first.wait_for_failures(1));
    stop(first);

    open_port();
    line_reader second;
    send_in_pieces(second, {"next\n"});
    ASSERT_TRUE(second.wait_for_messages(1));
    stop(second);
    EXPECT_EQ(second.messages, std::vector<std::string>{"next"});
    EXPECT_TRUE(second.failures.empty());
}

TEST_F(channel_on_pty, message_longer_than_the_buffer_can_grow_fails_clearly_and_is_skipped)
{
    serial_channel small{640};
    small.set_port_name(device.slave_path());
    small.open();
    line_reader target;
    small.start_reading(target);
    device.send(std::string(2000, 'x'));
    ASSERT_TRUE(target.wait_for_failures(1));
    device.send("\nafter\n");
    ASSERT_TRUE(target.wait_for_messages(1));
    // No further offers pile up for the dropped message: the thread does not spin.
    std::this_thread::sleep_for(100ms);
    target.deactivate();
    small.close();
    EXPECT_EQ(target.failures,
              std::vector<std::string>{"receive buffer full - a message longer than 640 bytes cannot be received"});
    EXPECT_EQ(target.messages, std::vector<std::string>{"after"});
    EXPECT_LT(target.offers, 20u);
}

TEST_F(channel_on_pty, hang_up_fails_the_reader_with_the_read_error_and_ends_the_thread)
{
    open_port();
    line_reader target;
    send_in_pieces(target, {"{\"half"});
    device.hang_up();
    ASSERT_TRUE(target.wait_for_failures(1));
    std::this_thread::sleep_for(50ms);
    const auto started = std::chrono::steady_clock::now();
    stop(target);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    ASSERT_EQ(target.failures.size(), 1u);
    // A pseudo-terminal reports the hang-up as the end of the file.
    EXPECT_EQ(test_support::hang_up_as_end_of_file(target.failures[0]), "read_some: End of file [asio.misc:2]");
}

TEST_F(channel_on_pty, stop_ends_a_silent_read_at_once_and_leaves_no_descriptor_or_thread)
{
    // Counted after the first round: a runtime may start a thread of its own with the
    // first thread (the thread sanitizer does).
    std::size_t descriptors = 0;
    std::size_t threads = 0;
    auto slowest = 0ns;
    for (int round = 0; round <= 20; ++round) {
        if (round == 1) {
            descriptors = test_support::open_descriptor_count();
            threads = test_support::settled_thread_count();
        }
        open_port();
        line_reader target;
        channel.start_reading(target);
        std::this_thread::sleep_for(10ms);  // the thread is now waiting for bytes
        const auto started = std::chrono::steady_clock::now();
        stop(target);
        slowest = std::max<std::chrono::nanoseconds>(slowest, std::chrono::steady_clock::now() - started);
        EXPECT_FALSE(channel.is_open());
        EXPECT_FALSE(channel.reading());
    }
    std::cout << "[ measured ] slowest of 20 stops of a silent read: "
              << std::chrono::duration_cast<std::chrono::microseconds>(slowest).count() << " us" << std::endl;
    // A generous bound: the stop does not wait for a byte or a time-out.
    EXPECT_LT(slowest, 500ms);
    EXPECT_EQ(test_support::open_descriptor_count(), descriptors);
    EXPECT_EQ(test_support::settled_thread_count(), threads);
}

TEST_F(channel_on_pty, writes_the_bytes_unchanged)
{
    open_port();
    const std::string request = "{\"a\":1}\n\r\x1e";
    channel.write(std::vector<unsigned char>(request.begin(), request.end()));
    EXPECT_EQ(device.receive(request.size(), 2s), request);
    channel.close();
}

TEST(serial_channel, open_without_a_name_fails_with_its_message)
{
    serial_channel channel;
    try {
        channel.open();
        FAIL() << "opened without a name";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(), "COM port name not specified.");
    }
    EXPECT_FALSE(channel.is_open());
}

TEST(serial_channel, open_of_a_missing_port_fails_with_the_boost_open_error)
{
    serial_channel channel;
    channel.set_port_name("/dev/no-such-vistrel-port");
    try {
        channel.open();
        FAIL() << "opened a missing port";
    } catch (const boost::system::system_error& failure) {
        EXPECT_EQ(failure.code().value(), ENOENT);
        // The code and its message, without Boost's own source location.
        EXPECT_STREQ(failure.what(), "open: No such file or directory [system:2]");
        EXPECT_FALSE(failure.code().has_location());
    }
}

TEST_F(channel_on_pty, write_to_a_port_that_hung_up_fails_with_the_boost_write_error)
{
    open_port();
    device.hang_up();
    try {
        channel.write(std::vector<unsigned char>{'{', '}', '\n'});
        FAIL() << "wrote to a port that hung up";
    } catch (const boost::system::system_error& failure) {
        EXPECT_EQ(failure.code().value(), EIO);
        EXPECT_STREQ(failure.what(), "write: Input/output error [system:5]");
        EXPECT_FALSE(failure.code().has_location());
    }
    channel.close();
}

}  // namespace
}  // namespace vistrel::link_test
