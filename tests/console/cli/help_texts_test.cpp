// The help texts: how argv[0] becomes the quoted program name of the usage text, and the
// layout of the option help (which options get explained, and how entries without arguments,
// descriptions or nested options are written).
#include "console/cli/help_texts.hpp"
#include "console/cli/registry.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace vistrel {
namespace {

TEST(program_name, stem_of_argv0)
{
    const struct {
        const char* argv0;
        const char* stem;
    } cases[] = {
        {"vistrel", "vistrel"},
        {"vistrel.exe", "vistrel"},
        {"/usr/local/bin/vistrel", "vistrel"},
        {"./build/vistrel.exe", "vistrel"},
        {"a.b.c", "a.b"},
        {"dir.d/a.b.c", "a.b"},
        {".hidden", ".hidden"},
        {"dir/.hidden.ext", ".hidden"},
        {".", "."},
        {"..", ".."},
        {"dir/..", ".."},
        {"name.", "name"},
        {"dir/", ""},
        {"", ""},
        {"vis\"trel.exe", "vis\"trel"},
        {"\xc3\xa4pfel.bin", "\xc3\xa4pfel"},
#ifdef _WIN32
        {"C:\\tools\\vistrel.exe", "vistrel"},
#else
        // A backslash is an ordinary character in a POSIX file name.
        {"C:\\tools\\vistrel.exe", "C:\\tools\\vistrel"},
#endif
    };
    for (const auto& c : cases) {
        EXPECT_EQ(program_stem(c.argv0), c.stem) << c.argv0;
    }
}

TEST(program_name, quoting_escapes_quotes_and_backslashes)
{
    const struct {
        const char* name;
        const char* quoted;
    } cases[] = {
        {"vistrel", R"("vistrel")"}, {"", R"("")"},
        {R"(a"b)", R"("a\"b")"},     {R"(C:\tools\x)", R"("C:\\tools\\x")"},
        {R"(\")", R"("\\\"")"},      {"it's", R"("it's")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quoted_program_name(c.name), c.quoted) << c.name;
    }
}

void ignore(arg_cursor&, arg_vector) {}

const option_map first_options{
    {{"-a", {ignore, "<a>", "first a", &no_options}}, {"-b", {ignore, "", "first b", &no_options}}}, false};
const option_map second_options{{{"-z", {ignore, "<z>", "second z", &no_options}}}, false};

const option_map sample_group{{{"alpha", {ignore, "<x>", "does alpha", &first_options}},
                               {"beta", {ignore, "", "", &no_options}},
                               {"gamma", {ignore, "", "does gamma", &second_options}}},
                              true};

class option_help_test : public ::testing::Test {
protected:
    void SetUp() override { explained_options().entries.clear(); }
    void TearDown() override { explained_options().entries.clear(); }
};

TEST_F(option_help_test, only_the_first_entry_with_options_fills_the_explained_options)
{
    std::ostringstream out;
    print_option_help(out, "grp", sample_group, "what");
    EXPECT_EQ(out.str(),
              "Unrecognized option [what] for command grp\n"
              "Possible options: grp (alpha <x> | beta | gamma)\n"
              "\n"
              "grp alpha [-a <a>] [-b] <x> - does alpha\n"
              "grp beta\n"
              "grp gamma [-z <z>] - does gamma\n"
              "\n"
              "\"option\" -a <a> - first a\n"
              "\"option\" -b - first b\n"
              "\n");
}

TEST_F(option_help_test, explained_options_stay_for_the_rest_of_the_run)
{
    std::ostringstream first;
    print_option_help(first, "grp", sample_group, "x");
    std::ostringstream second;
    print_option_help(second, "sys", system_commands, "y");
    // -t is not collected now, since the explained options are no longer empty.
    EXPECT_EQ(second.str(),
              "Unrecognized option [y] for command sys\n"
              "Possible options: sys (information)\n"
              "\n"
              "sys information [-t <timeout_in_s>=2] - get basic information about the device\n"
              "\n"
              "\"option\" -a <a> - first a\n"
              "\"option\" -b - first b\n"
              "\n");
}

TEST_F(option_help_test, a_name_already_explained_keeps_its_first_entry)
{
    const option_map other_t{{{"-t", {ignore, "<other>", "other t", &no_options}}}, false};
    const option_desc entry{ignore, "", "", &other_t};
    explained_options().entries.insert(command_options.entries.begin(), command_options.entries.end());
    std::ostringstream out;
    print_option_details(out, entry, true);
    EXPECT_EQ(out.str(), " [-t <other>]");
    EXPECT_EQ(explained_options().entries.at("-t").description, "set operation timeout in seconds");
}

TEST_F(option_help_test, an_entry_with_nothing_to_tell_prints_nothing)
{
    std::ostringstream out;
    print_option_details(out, option_desc{ignore, "", "", &no_options}, true);
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(explained_options().entries.empty());
}

}  // namespace
}  // namespace vistrel
