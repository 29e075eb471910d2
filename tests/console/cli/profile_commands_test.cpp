// The words of the profile commands and their downloads: reading profile numbers (what is
// accepted, what fails, and when a failure only ends the list), and downloaded profiles going
// to the file named after their slot, whatever order they came in.
#include "console/cli/profile_commands.hpp"
#include "tests/console/cli/argument_list.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <typeinfo>
#include <utility>

namespace vistrel {
namespace {

TEST(parse_profile_number, reads_the_word_like_stoi_within_0_to_255)
{
    const struct {
        const char* word;
        profile_id_t number;
    } cases[] = {
        {"0", 0},  {"7", 7},   {"255", 255}, {" 3", 3},  {"\t\n4", 4}, {"+5", 5},
        {"6x", 6}, {"007", 7}, {"-0", 0},    {"1.9", 1}, {"2=3", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        argument_list args({c.word, "next"});
        arg_cursor cursor = args.first();
        std::vector<profile_id_t> numbers{9};
        EXPECT_TRUE(parse_profile_number(cursor, args.end(), numbers));
        EXPECT_EQ(numbers, (std::vector<profile_id_t>{9, c.number}));
        EXPECT_EQ(cursor, args.first() + 1);
    }
}

struct rejected_word {
    const char* word;
    const std::type_info& type;
    const char* message;
};

const rejected_word rejected_words[] = {
    {"", typeid(std::invalid_argument), "invalid stoi argument"},
    {"abc", typeid(std::invalid_argument), "invalid stoi argument"},
    {"x1", typeid(std::invalid_argument), "invalid stoi argument"},
    {"-", typeid(std::invalid_argument), "invalid stoi argument"},
    {"all", typeid(std::invalid_argument), "invalid stoi argument"},
    {"256", typeid(std::out_of_range), "profile id"},
    {"300", typeid(std::out_of_range), "profile id"},
    {"-1", typeid(std::out_of_range), "profile id"},
    {"2147483647", typeid(std::out_of_range), "profile id"},
    {"2147483648", typeid(std::out_of_range), "stoi argument out of range"},
    {"-99999999999", typeid(std::out_of_range), "stoi argument out of range"},
};

TEST(parse_profile_number, rethrows_while_no_number_was_read)
{
    for (const auto& c : rejected_words) {
        SCOPED_TRACE(c.word);
        argument_list args({c.word});
        arg_cursor cursor = args.first();
        std::vector<profile_id_t> numbers;
        try {
            parse_profile_number(cursor, args.end(), numbers);
            ADD_FAILURE() << "no exception";
        } catch (const std::logic_error& error) {
            EXPECT_EQ(typeid(error), c.type);
            EXPECT_STREQ(error.what(), c.message);
        }
        EXPECT_TRUE(numbers.empty());
        EXPECT_EQ(cursor, args.first());
    }
}

TEST(parse_profile_number, ends_the_list_without_consuming_once_a_number_was_read)
{
    for (const auto& c : rejected_words) {
        SCOPED_TRACE(c.word);
        argument_list args({c.word});
        arg_cursor cursor = args.first();
        std::vector<profile_id_t> numbers{1};
        EXPECT_FALSE(parse_profile_number(cursor, args.end(), numbers));
        EXPECT_EQ(numbers, std::vector<profile_id_t>{1});
        EXPECT_EQ(cursor, args.first());
    }
}

TEST(parse_profile_number, with_no_word_left_reads_nothing)
{
    argument_list args({});
    arg_cursor cursor = 0;
    std::vector<profile_id_t> numbers;
    EXPECT_FALSE(parse_profile_number(cursor, args.end(), numbers));
    EXPECT_TRUE(numbers.empty());
    EXPECT_EQ(cursor, 0);
}

std::vector<profile> records_of(const std::vector<int>& slots)
{
    std::vector<profile> records;
    for (const int slot : slots) {
        profile record;
        record.id = static_cast<std::uint8_t>(slot);
        records.push_back(record);
    }
    return records;
}

std::vector<download_target> targets_of(const std::vector<int>& slots)
{
    std::vector<download_target> targets;
    for (const int slot : slots) {
        targets.push_back({static_cast<profile_id_t>(slot), "slot" + std::to_string(slot)});
    }
    return targets;
}

struct pairing_case {
    const char* name;
    std::vector<int> asked;
    std::vector<int> returned;
    std::vector<std::pair<std::size_t, std::size_t>> saved;  // (record, target)
    std::vector<std::size_t> unrequested;
    std::vector<std::size_t> missing;
};

TEST(pair_downloads, pairs_by_slot_number)
{
    const pairing_case cases[] = {
        {"in the order asked", {3, 5}, {3, 5}, {{0, 0}, {1, 1}}, {}, {}},
        {"reversed", {3, 5}, {5, 3}, {{0, 1}, {1, 0}}, {}, {}},
        {"one missing", {3, 4, 5}, {5, 3}, {{0, 2}, {1, 0}}, {}, {1}},
        {"nothing returned", {1, 2}, {}, {}, {}, {0, 1}},
        {"one not asked for", {3}, {3, 4}, {{0, 0}}, {1}, {}},
        {"another slot instead", {3, 4}, {4, 6}, {{0, 1}}, {1}, {0}},
        {"same slot asked twice", {2, 2}, {2, 2}, {{0, 0}, {1, 1}}, {}, {}},
        {"same slot asked twice, returned once", {2, 2}, {2}, {{0, 0}}, {}, {1}},
        {"same slot returned twice, asked once", {2}, {2, 2}, {{0, 0}}, {1}, {}},
        {"empty request", {}, {}, {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pairing = pair_downloads(targets_of(c.asked), records_of(c.returned));
        std::vector<std::pair<std::size_t, std::size_t>> saved;
        for (const auto& match : pairing.saved) {
            saved.emplace_back(match.record, match.target);
        }
        EXPECT_EQ(saved, c.saved);
        EXPECT_EQ(pairing.unrequested, c.unrequested);
        EXPECT_EQ(pairing.missing, c.missing);
    }
}

}  // namespace
}  // namespace vistrel
