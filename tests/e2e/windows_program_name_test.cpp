// How vistrel.exe names itself in its usage text: the stem of argv[0], split the Windows way.
// A Windows program is named by its file, so each case runs a copy under another name.
#include "tests/e2e/run_vistrel.hpp"
#include "tests/support/e2e_platform.hpp"
#include "tests/support/temporary_folder.hpp"
#include "tests/support/wine_session.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vistrel::e2e {
namespace {

namespace fs = std::filesystem;

// The DOS path of a Unix path, through Wine's drive Z: (the Unix root).
std::string dos_path(const fs::path& path)
{
    std::string text = "Z:" + path.string();
    for (char& c : text) {
        c = c == '/' ? '\\' : c;
    }
    return text;
}

TEST(windows_program_name, is_the_stem_of_the_file_it_was_started_as)
{
    if (!test_support::runs_on_windows()) {
        GTEST_SKIP() << "runs vistrel.exe under Wine";
    }
    const test_support::temporary_folder folder;
    const fs::path tools = folder.path() / "tools.d";
    fs::create_directory(tools);
    const fs::path exe = std::getenv("VISTREL_WINDOWS_EXE");

    struct name_case {
        std::string file;  // the copy, in tools.d
        std::string started;  // how Wine is asked to start it
        std::string working;  // in which folder
        std::string quoted;  // the name in the usage text
    };
    const std::string tools_dos = dos_path(tools);
    const name_case cases[] = {
        {"vistrel.exe", "vistrel.exe", tools.string(), "\"vistrel\""},
        {"vistrel.exe", tools_dos + "\\vistrel.exe", "/", "\"vistrel\""},
        {"vistrel.exe", "tools.d\\vistrel.exe", folder.path().string(), "\"vistrel\""},
        {"vistrel.exe", "tools.d\\..\\tools.d\\vistrel.exe", folder.path().string(), "\"vistrel\""},
        {"vistrel.tool.exe", tools_dos + "\\vistrel.tool.exe", "/", "\"vistrel.tool\""},
        {"my.vistrel.exe", "my.vistrel.exe", tools.string(), "\"my.vistrel\""},
        {"VISTREL.EXE", "VISTREL.EXE", tools.string(), "\"VISTREL\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.started);
        fs::copy_file(exe, tools / c.file, fs::copy_options::overwrite_existing);
        test_support::process_options options;
        options.working_directory = c.working;
        const auto result = test_support::wine_session::get().run(c.started, {}, options);
        EXPECT_EQ(test_support::from_text_mode(result.standard_error), usage_text("<empty>", c.quoted));
        EXPECT_EQ(result.standard_output, "");
        EXPECT_EQ(result.exit_status, 1);
        EXPECT_FALSE(result.timed_out);
    }
}

}  // namespace
}  // namespace vistrel::e2e
