#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "codec/json_error.hpp"

namespace {

std::string message_of(int code) {
  try {
    throw_json_error("JSON parse error - ", code);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "nothing thrown";
}

TEST(json_error, message_is_prefix_and_text) {
  EXPECT_EQ(message_of(-1), "JSON parse error - unfinished");
  EXPECT_EQ(message_of(-9), "JSON parse error - illegal format");
  EXPECT_EQ(message_of(-15), "JSON parse error - too deep");
  EXPECT_EQ(message_of(17), "JSON parse error - error 17");
  EXPECT_EQ(message_of(-3), "JSON parse error - error -3");
}

}  // namespace
