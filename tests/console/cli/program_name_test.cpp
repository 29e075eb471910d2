// How argv[0] becomes the quoted program name of the usage text.
#include "console/cli/program_name.hpp"

#include <gtest/gtest.h>

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
        {"vistrel", R"("vistrel")"},
        {"", R"("")"},
        {R"(a"b)", R"("a\"b")"},
        {R"(C:\tools\x)", R"("C:\\tools\\x")"},
        {R"(\")", R"("\\\"")"},
        {"it's", R"("it's")"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quoted_program_name(c.name), c.quoted) << c.name;
    }
}

}  // namespace
}  // namespace vistrel
