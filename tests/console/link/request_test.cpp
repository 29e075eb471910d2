// The bytes of each request as they go on the wire.
#include "console/link/request.hpp"

#include <gtest/gtest.h>

#include <string>

namespace vistrel {
namespace {

std::string text(const request_bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

TEST(request, information_is_the_compact_object_and_one_line_feed)
{
    EXPECT_EQ(text(build_request(request_kind::system_information)),
              "{\"category\":\"system\",\"case\":\"get\",\"sort\":\"information\"}\n");
}

struct numbers_case {
    request_kind kind;
    std::vector<profile_id_t> numbers;
    std::string expected;
};

TEST(request, profile_numbers_become_one_object_each_in_the_order_given)
{
    const numbers_case cases[] = {
        {request_kind::download,
         {3, 0, 255},
         "{\"category\":\"user profiles\",\"case\":\"get\",\"sort\":\"download\",\"data\":["
         "{\"profile\":3},{\"profile\":0},{\"profile\":255}]}\n"},
        {request_kind::reset,
         {7},
         "{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"reset\",\"data\":["
         "{\"profile\":7}]}\n"},
        {request_kind::reset, {}, "{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"reset\",\"data\":[]}\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text(build_request(c.kind, c.numbers)), c.expected);
    }
}

TEST(request, upload_carries_each_profile_with_its_edid_bytes_in_base64)
{
    profile first;
    first.id = 2;
    first.edid[0] = 0x00;
    first.edid[1] = 0xFF;
    first.edid[2] = 0x10;
    first.edid[3] = 0x7F;
    first.edid_size = 4;
    profile second;
    second.id = 5;
    second.edid_size = 0;
    EXPECT_EQ(text(build_request(request_kind::upload, std::vector<profile>{first, second})),
              "{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"upload\",\"data\":["
              "{\"profile\":2,\"edid\":\"AP8Qfw==\"},{\"profile\":5,\"edid\":\"\"}]}\n");
}

TEST(request, upload_never_reads_past_the_edid_block)
{
    profile record;
    record.id = 1;
    record.edid.fill(0xFF);
    record.edid_size = 100000;  // claims more than the block holds
    const std::string request = text(build_request(request_kind::upload, std::vector<profile>{record}));
    // 256 bytes are 344 characters of base64, ending in "==".
    const std::string edid = std::string(340, '/') + "/w==";
    EXPECT_NE(request.find("\"edid\":\"" + edid + "\"}"), std::string::npos) << request;
}

}  // namespace
}  // namespace vistrel
