// The readers as the receive thread drives them: what a reader takes while it is active and
// after it was deactivated; and the serial reader, to which the bytes received so far are
// offered after every read, so that a reply split anywhere must give what the whole reply
// gives.
#include "console/link/serial_reader.hpp"
#include "tests/console/link/line_reader.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace vistrel::link_test {
namespace {

// The bytes of the receive buffer, as a reader sees them.
struct byte_buffer {
    std::string bytes;

    unsigned char* data() { return reinterpret_cast<unsigned char*>(bytes.data()); }
    std::size_t size() const { return bytes.size(); }
    void consume(std::size_t n) { bytes.erase(0, n); }
    void drop_line()
    {
        const std::size_t end = bytes.find('\n');
        bytes.erase(0, end == std::string::npos ? bytes.size() : end + 1);
    }
};

TEST(reader, takes_bytes_and_failures_only_while_active)
{
    line_reader target;
    // Each completed message's bytes go; the start of the next one waits for more.
    byte_buffer buffer{"one\ntwo\nthr"};
    target.deliver(buffer);
    EXPECT_EQ(buffer.bytes, "thr");
    // A line that cannot be read is handed over as a failure and dropped; the rest is read.
    buffer.bytes = "ba!d\nfour\n";
    target.deliver(buffer);
    EXPECT_EQ(buffer.bytes, "");
    target.fail(std::make_exception_ptr(std::runtime_error("read error")));
    EXPECT_EQ(target.messages, (std::vector<std::string>{"one", "two", "four"}));
    EXPECT_EQ(target.failures, (std::vector<std::string>{"unreadable line", "read error"}));

    const std::size_t offers = target.offers;
    target.deactivate();
    buffer.bytes = "five\n";
    target.deliver(buffer);
    target.fail(std::make_exception_ptr(std::runtime_error("late read error")));
    EXPECT_EQ(buffer.bytes, "five\n");
    EXPECT_EQ(target.offers, offers);
    EXPECT_EQ(target.messages.size(), 3u);
    EXPECT_EQ(target.failures.size(), 2u);
}

std::string text_of(const std::vector<std::uint8_t>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

// What the waiting side gets for the first message: the envelope's fields, or the failure.
std::string first_message(serial_reader& reader)
{
    try {
        const json_event_base envelope = reader.next_message().get();
        return "category " + std::to_string(static_cast<int>(envelope.category)) + ", case "
            + std::to_string(static_cast<int>(envelope.event_case)) + ", sort [" + envelope.sort + "] ["
            + text_of(envelope.sort_details) + "], data [" + text_of(envelope.data_text) + "]";
    } catch (const std::exception& error) {
        return std::string("failure: ") + error.what();
    }
}

// Offers `bytes` as the receive thread does: a failure is handed over and ends the message.
// Returns false once the message is complete or has failed.
bool offer(serial_reader& reader, const std::string& bytes)
{
    byte_buffer buffer{bytes};
    reader.deliver(buffer);
    return buffer.bytes == bytes;
}

// The first message when `reply` arrives whole, or in two reads cut at `cut`.
std::string received(const std::string& reply, std::size_t cut = 0)
{
    serial_reader reader;
    if (cut == 0 || offer(reader, reply.substr(0, cut))) {
        offer(reader, reply);
    }
    return first_message(reader);
}

TEST(serial_reader, a_reply_split_anywhere_gives_what_the_whole_reply_gives)
{
    const std::string replies[] = {
        // Error replies whose objects come before the members that allow them.
        R"({"sort":{"number":263,"message":"busy"},"category":"system","case":"error"})"
        "\r\n",
        R"({"data":{"position":7},"sort":{"number":1,"message":"syntax error"},"case":"error","category":"JSON"})"
        "\n",
        R"({"case":"error","data":{"position":3},"category":"JSON","sort":{"number":1,"message":"x"}})"
        "\n",
        // A normal reply in the usual order.
        R"({"category":"system","case":"state","sort":"information","data":[{"item":"hardware",)"
        R"("version":{"major":1,"minor":3}}]})"
        "\n",
        // Replies the envelope refuses, however they arrive.
        R"({"data":{"position":7},"category":"system","case":"state"})"
        "\n",
        R"({"sort":{"number":1},"case":"state","category":"system"})"
        "\n",
        R"({"category":"system","case":"error","bogus":1})"
        "\n",
    };
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply);
        const std::string whole = received(reply);
        for (std::size_t cut = 1; cut < reply.size(); ++cut) {
            EXPECT_EQ(received(reply, cut), whole) << "cut at " << cut;
        }
    }
}

TEST(serial_reader, a_complete_reply_is_judged_once)
{
    // The refusals of a whole reply stay as they were.
    EXPECT_EQ(received("{\"data\":{\"position\":7},\"category\":\"system\",\"case\":\"state\"}\n"),
              "failure: Wrong value type [object] for key [category].");
    EXPECT_EQ(received("{\"sort\":{\"number\":1},\"case\":\"state\",\"category\":\"system\"}\n"),
              "failure: Wrong value type [object] for key [case].");
    // Objects before the members that allow them are accepted once those have come.
    const std::string error_reply =
        "{\"sort\":{\"number\":263,\"message\":\"busy\"},\"category\":\"system\",\"case\":\"error\"}\n";
    const std::string whole = received(error_reply);
    EXPECT_EQ(whole.rfind("category ", 0), 0u) << whole;
    EXPECT_NE(whole.find("[{\"number\":263,\"message\":\"busy\"}]"), std::string::npos) << whole;
}

// The envelope of the first reply leaves nothing behind for the reply after it.
TEST(serial_reader, each_message_starts_with_an_empty_envelope)
{
    serial_reader reader;
    const std::string first = "{\"category\":\"JSON\",\"case\":\"error\",\"data\":{\"position\":1}}\n";
    const std::string second = "{\"category\":\"system\",\"case\":\"state\",\"sort\":\"information\"}\n";
    EXPECT_FALSE(offer(reader, first));
    EXPECT_EQ(first_message(reader).rfind("category ", 0), 0u);
    EXPECT_TRUE(offer(reader, second.substr(0, 20)));
    EXPECT_FALSE(offer(reader, second));
    const json_event_base envelope = reader.next_message().get();
    EXPECT_FALSE(envelope.data_is_object);
    EXPECT_TRUE(envelope.data_text.empty());
    EXPECT_EQ(envelope.sort, "information");
}

}  // namespace
}  // namespace vistrel::link_test
