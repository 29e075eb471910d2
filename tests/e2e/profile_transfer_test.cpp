// "profile upload", "download" and "reset" against the simulator: the requests they send, the
// files they read and write, and what they print.
#include "tests/e2e/profile_fixture.hpp"

#include <filesystem>

namespace vistrel::e2e {
namespace {

namespace fs = std::filesystem;

std::string shown(const std::string& request)
{
    return "JSON <" + request.substr(0, request.size() - 1) + ">";
}

std::string saved_line(int slot, const std::string& file)
{
    return "Profile " + std::to_string(slot) + " successfully downloaded and saved to file \"" +
           file + "\".\n";
}

const std::string edid_a = numbered_bytes(256, 1);
const std::string edid_b = numbered_bytes(256, 2);

void put_edid_files(const test_support::sim_process& sim)
{
    put_file(file_path(sim, "a.bin"), edid_a);
    put_file(file_path(sim, "b.bin"), edid_b);
    put_file(file_path(sim, "long.bin"), edid_b + edid_a);
    put_file(file_path(sim, "short.bin"), edid_a.substr(0, 100));
}

TEST(profile_upload, sends_the_files_and_prints_nothing)
{
    const std::string stream_failure = "std::runtime_error - " + stream_failure_text() + "\n";
    const sim_case cases[] = {
        {"two pairs in order", {"profile", "upload", "-t", "1", "1", "a.bin", "2", "b.bin"}, {},
         {upload_request({{1, edid_a}, {2, edid_b}})}, "", "", 0},
        {"512-byte file sends 256 bytes", {"profile", "upload", "-t", "1", "3", "long.bin"}, {},
         {upload_request({{3, edid_b}})}, "", "", 0},
        {"no pairs", {"profile", "upload", "-t", "1"}, {}, {upload_request({})}, "", "", 0},
        {"100-byte file sends nothing", {"profile", "upload", "1", "a.bin", "2", "short.bin"}, {},
         {}, "", stream_failure, 1},
        {"missing file sends nothing", {"profile", "upload", "1", "none.bin"}, {}, {}, "",
         stream_failure, 1},
        {"slot out of range", {"profile", "upload", "300", "a.bin"}, {}, {}, "", "", 1},
        {"no number", {"profile", "upload", "a.bin"}, {}, {}, "", "", 1},
        {"number without file name", {"profile", "upload", "1", "a.bin", "2"}, {}, {}, "",
         "std::runtime_error - missing file name for profile 2\n", 1},
        {"word after the pairs", {"profile", "upload", "-t", "1", "1", "a.bin", "x"}, {},
         {upload_request({{1, edid_a}})}, "", profile_help("x"), 0},
        {"device refuses the slot", {"profile", "upload", "-t", "1", "9", "a.bin"}, {},
         {upload_request({{9, edid_a}})}, "",
         "error in " + shown(upload_request({{9, edid_a}})) +
             " - [User profiles/error - no such profile slot (3)]\n",
         1},
    };
    for (const auto& c : cases) {
        run_sim_case(c, put_edid_files);
    }
}

TEST(profile_download, writes_the_slot_bytes_and_names_each_file)
{
    run_sim_case({"one slot", {"profile", "download", "3", "out.bin"}, {}, {download_request({3})},
                  saved_line(3, "out.bin"), "", 0},
                 {}, [](const test_support::sim_process& sim) {
                     EXPECT_EQ(file_bytes(file_path(sim, "out.bin")), default_slot(3));
                 });
    run_sim_case({"two slots", {"profile", "download", "-t=1", "5", "five.bin", "0", "zero.bin", "x"},
                  {}, {download_request({5, 0})},
                  saved_line(5, "five.bin") + saved_line(0, "zero.bin"), profile_help("x"), 0},
                 {}, [](const test_support::sim_process& sim) {
                     EXPECT_EQ(file_bytes(file_path(sim, "five.bin")), default_slot(5));
                     EXPECT_EQ(file_bytes(file_path(sim, "zero.bin")), default_slot(0));
                 });
}

// The device may answer in another order, leave a slot out or add one: every file gets the
// EDID of the slot it was named after, or none.
TEST(profile_download, pairs_the_returned_slots_with_files_by_number)
{
    const std::string edid_3 = numbered_bytes(256, 3);
    const std::string edid_4 = numbered_bytes(256, 4);
    const std::string edid_5 = numbered_bytes(256, 5);
    const std::vector<std::string> asked = {"profile", "download", "3", "three.bin", "5", "five.bin"};
    const auto files_hold = [](std::string three, std::string five) {
        return [three, five](const test_support::sim_process& sim) {
            for (const auto& [name, bytes] : {std::pair{"three.bin", three}, std::pair{"five.bin", five}}) {
                SCOPED_TRACE(name);
                EXPECT_EQ(fs::exists(file_path(sim, name)), !bytes.empty());
                EXPECT_EQ(file_bytes(file_path(sim, name)), bytes);
            }
        };
    };

    run_sim_case({"reordered", asked, {"--fault", answer_with(download_reply({{5, edid_5}, {3, edid_3}}))},
                  {download_request({3, 5})},
                  saved_line(5, "five.bin") + saved_line(3, "three.bin"), "", 0},
                 {}, files_hold(edid_3, edid_5));
    run_sim_case({"one slot missing", asked, {"--fault", answer_with(download_reply({{5, edid_5}}))},
                  {download_request({3, 5})}, saved_line(5, "five.bin"),
                  "Profile 3 was not returned by the device.\n", 1},
                 {}, files_hold("", edid_5));
    run_sim_case({"another slot instead", asked,
                  {"--fault", answer_with(download_reply({{4, edid_4}, {3, edid_3}}))},
                  {download_request({3, 5})}, saved_line(3, "three.bin"),
                  "Profile 5 was not returned by the device.\n"
                  "std::runtime_error - Profile 4 was returned by the device without a file name "
                  "to save it to.\n",
                  1},
                 {}, files_hold(edid_3, ""));
    run_sim_case({"more slots than file names", {"profile", "download", "3", "three.bin"},
                  {"--fault", answer_with(download_reply({{3, edid_3}, {5, edid_5}}))},
                  {download_request({3})}, saved_line(3, "three.bin"),
                  "std::runtime_error - Profile 5 was returned by the device without a file name "
                  "to save it to.\n",
                  1},
                 {}, files_hold(edid_3, ""));
    run_sim_case({"nothing returned", asked, {"--fault", answer_with(download_reply({}))},
                  {download_request({3, 5})}, "",
                  "Profile 3 was not returned by the device.\n"
                  "Profile 5 was not returned by the device.\n",
                  1},
                 {}, files_hold("", ""));
}

TEST(profile_download, fails_on_files_it_cannot_write)
{
    const auto only_three_bin = [](const test_support::sim_process& sim) {
        EXPECT_EQ(file_bytes(file_path(sim, "three.bin")), default_slot(3));
    };
    run_sim_case({"cannot create", {"profile", "download", "3", "three.bin", "5", "none/five.bin"},
                  {}, {download_request({3, 5})}, "",
                  "std::runtime_error - Cannot open file none/five.bin for writing.\n", 1},
                 {}, only_three_bin);
    if (fs::is_character_file("/dev/full")) {
        run_sim_case({"disk full", {"profile", "download", "3", "three.bin", "5", "/dev/full"}, {},
                      {download_request({3, 5})}, "",
                      "std::runtime_error - Cannot write file /dev/full.\n", 1},
                     {}, only_three_bin);
    }
    run_sim_case({"no file name", {"profile", "download", "3", "three.bin", "5"}, {}, {}, "",
                  "std::runtime_error - missing file name for profile 5\n", 1},
                 {}, [](const test_support::sim_process& sim) {
                     EXPECT_FALSE(fs::exists(file_path(sim, "three.bin")));
                 });
    run_sim_case({"slot out of range", {"profile", "download", "256", "x.bin"}, {}, {}, "", "", 1});
}

TEST(profile_reset, sends_the_numbers_and_prints_nothing)
{
    const sim_case cases[] = {
        {"all", {"profile", "reset", "-t", "1", "all"}, {}, {reset_request({0, 1, 2, 3, 4, 5, 6, 7})},
         "", "", 0},
        {"two", {"profile", "reset", "-t", "1", "2", "5"}, {}, {reset_request({2, 5})}, "", "", 0},
        {"none", {"profile", "reset", "-t", "1"}, {}, {reset_request({})}, "", "", 0},
        {"then an unknown word", {"profile", "reset", "-t", "1", "2", "all"}, {},
         {reset_request({2})}, "", profile_help("all"), 0},
        {"not a number", {"profile", "reset", "some"}, {}, {}, "", "", 1},
        {"device refuses the slot", {"profile", "reset", "-t", "1", "8"}, {}, {reset_request({8})}, "",
         "error in " + shown(reset_request({8})) +
             " - [User profiles/error - no such profile slot (3)]\n",
         1},
    };
    for (const auto& c : cases) {
        run_sim_case(c);
    }
}

// Upload a file, download it again, reset the slot: the bytes come back unchanged, then the
// default returns. One simulator keeps its slots between the runs.
TEST(profile_round_trip, returns_the_uploaded_bytes)
{
    test_support::sim_process sim;
    put_file(file_path(sim, "in.bin"), edid_a);

    expect_result(run_on(sim, {"profile", "upload", "-t", "1", "4", "in.bin"}), "", "", 0);
    expect_result(run_on(sim, {"profile", "download", "4", "out.bin"}), saved_line(4, "out.bin"), "", 0);
    EXPECT_EQ(file_bytes(file_path(sim, "out.bin")), edid_a);

    expect_result(run_on(sim, {"profile", "reset", "-t", "1", "4"}), "", "", 0);
    expect_result(run_on(sim, {"profile", "download", "4", "out.bin"}), saved_line(4, "out.bin"), "", 0);
    EXPECT_EQ(file_bytes(file_path(sim, "out.bin")), default_slot(4));
}

}  // namespace
}  // namespace vistrel::e2e
