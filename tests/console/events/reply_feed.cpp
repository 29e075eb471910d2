#include "tests/console/events/reply_feed.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vistrel::test {

int feed_reply(json_event_base& envelope, std::string_view text, std::initializer_list<std::size_t> cuts)
{
    std::vector<std::size_t> ends(cuts);
    ends.push_back(text.size());
    // The received bytes live in their own buffer, as in the reader.
    const std::string received(text);
    minijson_parse_context_t context{};
    int result = MINIJSON_UNFINISHED;
    for (const std::size_t end : ends) {
        std::size_t length = end;
        result = envelope.parse_received(received.data(), &length, context);
        if (result != MINIJSON_UNFINISHED) {
            break;
        }
    }
    return result;
}

json_event_base envelope_of(std::string_view text)
{
    json_event_base envelope;
    EXPECT_EQ(feed_reply(envelope, text), MINIJSON_OK) << text;
    return envelope;
}

}  // namespace vistrel::test
