// Reading and writing EDID files: exact sizes, unreadable and unwritable files, and no partial
// file left behind by a failed write.
#include "console/cli/edid_file.hpp"
#include "tests/support/temporary_folder.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <stdexcept>
#include <string>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vistrel {
namespace {

namespace fs = std::filesystem;

std::string pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xff);
    }
    return bytes;
}

void put_file(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string file_bytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string edid_text(const profile& record)
{
    return {reinterpret_cast<const char*>(record.edid.data()), record.edid.size()};
}

class edid_file : public ::testing::Test {
protected:
    fs::path at(const std::string& name) const { return folder.path() / name; }
    test_support::temporary_folder folder;
};

TEST_F(edid_file, read_takes_exactly_the_first_256_bytes)
{
    for (const std::size_t size : {256u, 257u, 512u}) {
        SCOPED_TRACE(size);
        put_file(at("in.bin"), pattern(size));
        profile record;
        record.id = 4;
        read_edid_file(at("in.bin").string(), record);
        EXPECT_EQ(edid_text(record), pattern(256));
        EXPECT_EQ(record.edid_size, 256u);
        EXPECT_EQ(record.id, 4);
    }
}

TEST_F(edid_file, read_fails_with_the_stream_failure_on_short_or_missing_files)
{
    put_file(at("empty.bin"), "");
    put_file(at("short.bin"), pattern(100));
    put_file(at("almost.bin"), pattern(255));
    fs::create_directory(at("folder"));
    for (const char* name : {"empty.bin", "short.bin", "almost.bin", "missing.bin", "folder"}) {
        SCOPED_TRACE(name);
        profile record;
        EXPECT_THROW(read_edid_file(at(name).string(), record), std::ios_base::failure);
    }
}

TEST_F(edid_file, write_stores_the_first_edid_size_bytes_and_truncates)
{
    put_file(at("out.bin"), pattern(1000));
    profile record;
    const std::string bytes = pattern(256);
    std::copy(bytes.begin(), bytes.end(), record.edid.begin());
    for (const std::size_t size : {256u, 128u, 0u}) {
        SCOPED_TRACE(size);
        record.edid_size = size;
        write_edid_file(at("out.bin").string(), record);
        EXPECT_EQ(file_bytes(at("out.bin")), bytes.substr(0, size));
    }
}

TEST_F(edid_file, write_names_the_file_it_cannot_create)
{
    const std::string name = at("no-such-folder/out.bin").string();
    try {
        write_edid_file(name, profile{});
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + name + " for writing.");
    }
}

TEST(write_edid_file, reports_a_full_device_and_leaves_it_alone)
{
    if (!fs::is_character_file("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    profile record;
    record.edid_size = 256;
    try {
        write_edid_file("/dev/full", record);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot write file /dev/full.");
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// A file size limit makes the write stop part-way, like a disk that fills up. Run in a child
// process so the limit does not reach the test program.
TEST_F(edid_file, a_write_that_stops_part_way_leaves_no_file)
{
    const std::string name = at("cut.bin").string();
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        profile record;
        record.edid_size = 256;
        try {
            write_edid_file(name, record);
        } catch (const std::runtime_error& error) {
            ::_exit(std::string(error.what()) == "Cannot write file " + name + "." ? 0 : 2);
        }
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(name));
}

}  // namespace
}  // namespace vistrel
