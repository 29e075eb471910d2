#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/sim/base64.hpp"

namespace vistrel::sim_test {
namespace {

std::vector<std::uint8_t> bytes_of(const std::string& text)
{
    return {text.begin(), text.end()};
}

TEST(base64, encodes_and_decodes_every_tail_length)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"M", "TQ=="}, {"Ma", "TWE="}, {"Man", "TWFu"}, {std::string("\xFF\xFE\x00\x80", 4), "//4AgA=="}};
    for (const auto& [plain, encoded] : cases) {
        SCOPED_TRACE(encoded);
        EXPECT_EQ(sim::base64_encode(bytes_of(plain)), encoded);
        EXPECT_EQ(sim::base64_decode(encoded), bytes_of(plain));
    }
}

TEST(base64, accepts_a_final_group_without_padding)
{
    EXPECT_EQ(sim::base64_decode("TWE"), bytes_of("Ma"));
    EXPECT_EQ(sim::base64_decode("TQ"), bytes_of("M"));
}

TEST(base64, rejects_malformed_text)
{
    for (const char* text : {"T", "TWFuT", "TW=u", "TQ=", "T===", "TWF*", "TW Fu", "TQ==TQ=="}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(sim::base64_decode(text), std::nullopt);
    }
}

}  // namespace
}  // namespace vistrel::sim_test
