// The failure reports: which line each kind of failure prints, and what is thrown after it.
// Device-side events are covered with real replies in the exchange tests.
#include "console/link/failure_report.hpp"

#include <boost/system/system_error.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>

namespace vistrel {
namespace {

TEST(failure_report, code_text_shows_the_low_byte_only_under_the_own_category)
{
    struct code_case {
        std::int32_t number;
        category_code category;
        const char* text;
    };
    const code_case cases[] = {
        {-1, category_code::system, ""},
        {0x0105, category_code::system, "(5)"},
        {0x0105, category_code::user_profiles, "(261)"},
        {0x0405, category_code::user_profiles, "(5)"},
        {0x010105, category_code::system, "(5)"},  // only the second byte is compared
        {7, category_code::system, "(7)"},
        {0, category_code::system, "(0)"},
        {-2, category_code::system, "(4294967294)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(code_text(c.number, c.category), c.text) << c.number;
    }
}

TEST(failure_report, request_is_shown_without_surrounding_white_space)
{
    const std::string raw = " \t\n{\"a\": 1}\r\n\n";
    std::ostringstream out;
    print_request(out, request_bytes(raw.begin(), raw.end()));
    EXPECT_EQ(out.str(), "JSON <{\"a\": 1}>");

    std::ostringstream blank;
    print_request(blank, request_bytes{'\n'});
    EXPECT_EQ(blank.str(), "JSON <>");
}

class report_of : public ::testing::Test {
protected:
    void SetUp() override { saved = std::cerr.rdbuf(captured.rdbuf()); }
    void TearDown() override { std::cerr.rdbuf(saved); }

    // Reports `failure` as an exchange would; returns the line printed.
    std::string report(const std::function<void()>& failure)
    {
        const std::string raw = "{\"x\":1}\n";
        try {
            try {
                failure();
            } catch (...) {
                report_system_failure(request_bytes(raw.begin(), raw.end()));
            }
        } catch (const failure_reported&) {
        }
        return captured.str();
    }

    std::ostringstream captured;
    std::streambuf* saved = nullptr;
};

TEST_F(report_of, each_kind_of_exception_prints_its_own_line_then_the_failure_signal)
{
    EXPECT_EQ(report([] { throw std::runtime_error("waiting for result timeouted"); }),
              "std::runtime_error - waiting for result timeouted\n");
    captured.str({});
    EXPECT_EQ(report([] { throw std::out_of_range("invalid map<K, T> key"); }),
              "std::logic_error - invalid map<K, T> key\n");
    captured.str({});
    EXPECT_EQ(report([] { throw std::bad_alloc(); }), "std::exception - std::bad_alloc\n");
}

TEST_F(report_of, boost_system_error_is_told_apart_from_other_runtime_errors)
{
    const boost::system::system_error error(boost::system::error_code(2, boost::system::system_category()), "open");
    EXPECT_EQ(report([&] { throw error; }),
              std::string("boost::system::system_error - system:2/") + error.what() + "\n");
}

TEST_F(report_of, unknown_exception_is_printed_and_rethrown_instead_of_the_signal)
{
    try {
        try {
            throw 42;
        } catch (...) {
            report_profile_failure({});
        }
    } catch (int rethrown) {
        EXPECT_EQ(rethrown, 42);
    }
    EXPECT_EQ(captured.str(), "unknown exception\n");
}

}  // namespace
}  // namespace vistrel
