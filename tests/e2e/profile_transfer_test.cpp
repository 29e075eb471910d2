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
    return "Profile " + std::to_string(slot) + " successfully downloaded and saved to file \"" + file + "\".\n";
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

// Upload and reset succeed on silence; where only that success is checked, -t 0 ends the
// wait at once (the full wait is tested with the exchanges).
TEST(profile_upload, sends_the_files_and_prints_nothing)
{
    const std::string stream_failure = "std::runtime_error - " + stream_failure_text() + "\n";
    const sim_case cases[] = {
        {"two pairs in order",
         {"profile", "upload", "-t", "0", "1", "a.bin", "2", "b.bin"},
         {},
         {upload_request({{1, edid_a}, {2, edid_b}})},
         "",
         "",
         0},
        {"512-byte file sends 256 bytes",
         {"profile", "upload", "-t", "0", "3", "long.bin"},
         {},
         {upload_request({{3, edid_b}})},
         "",
         "",
         0},
        {"no pairs", {"profile", "upload", "-t", "0"}, {}, {upload_request({})}, "", "", 0},
        {"100-byte file sends nothing",
         {"profile", "upload", "1", "a.bin", "2", "short.bin"},
         {},
         {},
         "",
         stream_failure,
         1},
        {"missing file sends nothing", {"profile", "upload", "1", "none.bin"}, {}, {}, "", stream_failure, 1},
        {"slot out of range", {"profile", "upload", "300", "a.bin"}, {}, {}, "", "", 1},
        {"no number", {"profile", "upload", "a.bin"}, {}, {}, "", "", 1},
        {"number without file name",
         {"profile", "upload", "1", "a.bin", "2"},
         {},
         {},
         "",
         "std::runtime_error - missing file name for profile 2\n",
         1},
        {"word after the pairs",
         {"profile", "upload", "-t", "0", "1", "a.bin", "x"},
         {},
         {upload_request({{1, edid_a}})},
         "",
         profile_help("x"),
         0},
        {"device refuses the slot",
         {"profile", "upload", "-t", "1", "9", "a.bin"},
         {},
         {upload_request({{9, edid_a}})},
         "",
         "error in " + shown(upload_request({{9, edid_a}})) + " - [User profiles/error - no such profile slot (3)]\n",
         1},
    };
    for (const auto& c : cases) {
        run_sim_case(c, put_edid_files);
    }
}

TEST(profile_download, writes_the_slot_bytes_and_names_each_file)
{
    run_sim_case({"one slot",
                  {"profile", "download", "3", "out.bin"},
                  {},
                  {download_request({3})},
                  saved_line(3, "out.bin"),
                  "",
                  0},
                 {}, [](const test_support::sim_process& sim) {
                     EXPECT_EQ(file_bytes(file_path(sim, "out.bin")), default_slot(3));
                 });
    run_sim_case({"two slots",
                  {"profile", "download", "-t=1", "5", "five.bin", "0", "zero.bin", "x"},
                  {},
                  {download_request({5, 0})},
                  saved_line(5, "five.bin") + saved_line(0, "zero.bin"),
                  profile_help("x"),
                  0},
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

    run_sim_case({"reordered",
                  asked,
                  {"--fault", test_support::text_reply_rule(download_reply({{5, edid_5}, {3, edid_3}}))},
                  {download_request({3, 5})},
                  saved_line(5, "five.bin") + saved_line(3, "three.bin"),
                  "",
                  0},
                 {}, files_hold(edid_3, edid_5));
    run_sim_case({"one slot missing",
                  asked,
                  {"--fault", test_support::text_reply_rule(download_reply({{5, edid_5}}))},
                  {download_request({3, 5})},
                  saved_line(5, "five.bin"),
                  "Profile 3 was not returned by the device.\n",
                  1},
                 {}, files_hold("", edid_5));
    run_sim_case({"another slot instead",
                  asked,
                  {"--fault", test_support::text_reply_rule(download_reply({{4, edid_4}, {3, edid_3}}))},
                  {download_request({3, 5})},
                  saved_line(3, "three.bin"),
                  "Profile 5 was not returned by the device.\n"
                  "std::runtime_error - Profile 4 was returned by the device without a file name "
                  "to save it to.\n",
                  1},
                 {}, files_hold(edid_3, ""));
    run_sim_case({"more slots than file names",
                  {"profile", "download", "3", "three.bin"},
                  {"--fault", test_support::text_reply_rule(download_reply({{3, edid_3}, {5, edid_5}}))},
                  {download_request({3})},
                  saved_line(3, "three.bin"),
                  "std::runtime_error - Profile 5 was returned by the device without a file name "
                  "to save it to.\n",
                  1},
                 {}, files_hold(edid_3, ""));
    run_sim_case({"nothing returned",
                  asked,
                  {"--fault", test_support::text_reply_rule(download_reply({}))},
                  {download_request({3, 5})},
                  "",
                  "Profile 3 was not returned by the device.\n"
                  "Profile 5 was not returned by the device.\n",
                  1},
                 {}, files_hold("", ""));
}

// An item object is the unit of pairing: an item without a usable EDID gives its slot no
// file, and never lends its number or its EDID to the item next to it.
TEST(profile_download, takes_number_and_edid_only_from_the_same_item)
{
    const std::string edid_5 = numbered_bytes(256, 5);
    const std::string edid_6 = numbered_bytes(256, 6);
    const std::string text_6 = base64_of(edid_6);
    const std::pair<std::string, std::string> neighbours[] = {
        {"number first", "{\"profile\":6,\"edid\":\"" + text_6 + "\"}"},
        {"EDID first", "{\"edid\":\"" + text_6 + "\",\"profile\":6}"},
    };
    // Each unusable item before slot 6 in both member orders, and the good item first: what
    // follows it takes nothing from it either.
    std::vector<std::pair<std::string, std::string>> replies;
    for (const auto& [item_name, item] : unusable_items(5, edid_5)) {
        for (const auto& [neighbour_name, neighbour] : neighbours) {
            replies.emplace_back(item_name + ", then slot 6 " + neighbour_name, item + "," + neighbour);
        }
    }
    replies.emplace_back("slot 6, then an empty EDID for slot 5",
                         neighbours[0].second + ",{\"edid\":\"\",\"profile\":5}");
    for (const auto& [name, items] : replies) {
        run_sim_case({name,
                      {"profile", "download", "5", "five.bin", "6", "six.bin"},
                      {"--fault", test_support::text_reply_rule(download_reply_of(items))},
                      {download_request({5, 6})},
                      saved_line(6, "six.bin"),
                      "Profile 5 was not returned by the device.\n",
                      1},
                     {}, [&](const test_support::sim_process& sim) {
                         EXPECT_FALSE(fs::exists(file_path(sim, "five.bin")));
                         EXPECT_EQ(file_bytes(file_path(sim, "six.bin")), edid_6);
                     });
    }
}

TEST(profile_download, fails_on_files_it_cannot_write)
{
    const auto only_three_bin = [](const test_support::sim_process& sim) {
        EXPECT_EQ(file_bytes(file_path(sim, "three.bin")), default_slot(3));
    };
    run_sim_case({"cannot create",
                  {"profile", "download", "3", "three.bin", "5", "none/five.bin"},
                  {},
                  {download_request({3, 5})},
                  "",
                  "std::runtime_error - Cannot open file none/five.bin for writing.\n",
                  1},
                 {}, only_three_bin);
    if (fs::is_character_file("/dev/full")) {
        run_sim_case({"disk full",
                      {"profile", "download", "3", "three.bin", "5", "/dev/full"},
                      {},
                      {download_request({3, 5})},
                      "",
                      "std::runtime_error - Cannot write file /dev/full.\n",
                      1},
                     {}, only_three_bin);
    }
    run_sim_case({"no file name",
                  {"profile", "download", "3", "three.bin", "5"},
                  {},
                  {},
                  "",
                  "std::runtime_error - missing file name for profile 5\n",
                  1},
                 {},
                 [](const test_support::sim_process& sim) { EXPECT_FALSE(fs::exists(file_path(sim, "three.bin"))); });
    run_sim_case({"slot out of range", {"profile", "download", "256", "x.bin"}, {}, {}, "", "", 1});
}

TEST(profile_reset, sends_the_numbers_and_prints_nothing)
{
    const sim_case cases[] = {
        {"all", {"profile", "reset", "-t", "0", "all"}, {}, {reset_request({0, 1, 2, 3, 4, 5, 6, 7})}, "", "", 0},
        {"two", {"profile", "reset", "-t", "0", "2", "5"}, {}, {reset_request({2, 5})}, "", "", 0},
        {"none", {"profile", "reset", "-t", "0"}, {}, {reset_request({})}, "", "", 0},
        {"then an unknown word",
         {"profile", "reset", "-t", "0", "2", "all"},
         {},
         {reset_request({2})},
         "",
         profile_help("all"),
         0},
        {"not a number", {"profile", "reset", "some"}, {}, {}, "", "", 1},
        {"device refuses the slot",
         {"profile", "reset", "-t", "1", "8"},
         {},
         {reset_request({8})},
         "",
         "error in " + shown(reset_request({8})) + " - [User profiles/error - no such profile slot (3)]\n",
         1},
    };
    for (const auto& c : cases) {
        run_sim_case(c);
    }
}

// With VISTREL_VERIFY=1 an upload that the device took in silence is read back in one more
// exchange and compared with its files.
struct verify_case {
    std::string name;
    std::string verify;  // the value of VISTREL_VERIFY
    std::vector<std::string> arguments;  // after "-c <port>"
    std::vector<std::string> faults;  // fault rules of the simulator
    std::vector<std::string> requests;
    std::string error;
    int status = 0;
};

// A rule that answers only the download requests with `text`.
std::string on_download(const std::string& text)
{
    std::string rule = test_support::text_reply_rule(text);
    return R"({"category":"user profiles","sort":"download",)" + rule.substr(1);
}

TEST(profile_upload, verified_reads_the_slots_back_and_names_each_one_that_differs)
{
    const std::vector<std::string> upload_a_b = {"profile", "upload", "-t", "0", "1", "a.bin", "2", "b.bin"};
    const std::string a_then_b = upload_request({{1, edid_a}, {2, edid_b}});
    const std::string differs_2 = "Profile 2 read back from the device differs from file \"b.bin\".\n";
    const std::string missing_2 = "Profile 2 was not read back from the device after the upload of file \"b.bin\".\n";
    const std::string missing_1 = "Profile 1 was not read back from the device after the upload of file \"a.bin\".\n";
    const std::string upload_refused_rule =
        R"({"category":"user profiles","sort":"upload","reply":"error","number":261,"message":"busy"})";
    const std::string shown_upload = "JSON <" + a_then_b.substr(0, a_then_b.size() - 1) + ">";
    const std::string shown_download =
        "JSON <" + download_request({1, 2}).substr(0, download_request({1, 2}).size() - 1) + ">";

    const verify_case cases[] = {
        {"device holds what was sent", "1", upload_a_b, {}, {a_then_b, download_request({1, 2})}, "", 0},
        {"verification off", "0", upload_a_b, {}, {a_then_b}, "", 0},
        {"a slot given twice holds its last file",
         "1",
         {"profile", "upload", "-t", "0", "1", "a.bin", "1", "b.bin"},
         {},
         {upload_request({{1, edid_a}, {1, edid_b}}), download_request({1})},
         "",
         0},
        {"one slot differs",
         "1",
         upload_a_b,
         {on_download(download_reply({{1, edid_a}, {2, edid_a}}))},
         {a_then_b, download_request({1, 2})},
         differs_2,
         1},
        {"one slot of a sent twice differs",
         "1",
         upload_a_b,
         {on_download(download_reply({{2, edid_b}, {1, edid_a}, {2, edid_a}}))},
         {a_then_b, download_request({1, 2})},
         differs_2,
         1},
        {"a shorter EDID differs",
         "1",
         upload_a_b,
         {on_download(download_reply({{1, edid_a}, {2, edid_b.substr(0, 128)}}))},
         {a_then_b, download_request({1, 2})},
         differs_2,
         1},
        {"one slot does not come back",
         "1",
         upload_a_b,
         {on_download(download_reply({{1, edid_a}}))},
         {a_then_b, download_request({1, 2})},
         missing_2,
         1},
        {"other slots do not stand in",
         "1",
         upload_a_b,
         {on_download(download_reply({{3, edid_a}, {2, edid_a}}))},
         {a_then_b, download_request({1, 2})},
         missing_1 + differs_2,
         1},
        {"an upload the device refused is not read back",
         "1",
         {"profile", "upload", "-t", "2", "1", "a.bin", "2", "b.bin"},
         {upload_refused_rule},
         {a_then_b},
         "error in " + shown_upload + " - [User profiles/error - busy (261)]\n",
         1},
        {"a read-back that fails is reported as a download",
         "1",
         upload_a_b,
         {R"({"category":"user profiles","sort":"download","reply":"error","number":261,"message":"busy"})"},
         {a_then_b, download_request({1, 2})},
         "error in " + shown_download + " - [User profiles/error - busy (261)]\n",
         1},
        // It waits the default time-out, although the upload was given none.
        {"a silent read-back",
         "1",
         upload_a_b,
         {R"({"category":"user profiles","sort":"download","reply":"silent"})"},
         {a_then_b, download_request({1, 2})},
         "std::runtime_error - waiting for result timeouted\n",
         1},
    };
    for (const verify_case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> sim_arguments;
        for (const std::string& fault : c.faults) {
            sim_arguments.insert(sim_arguments.end(), {"--fault", fault});
        }
        test_support::sim_process sim(sim_arguments);
        put_edid_files(sim);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), {"-c", test_support::port_of(sim)});
        test_support::process_options options;
        options.working_directory = sim.folder();
        options.set_environment.emplace_back("VISTREL_VERIFY", c.verify);
        expect_result(run_vistrel(arguments, no_usb_bus, options), "", c.error, c.status);
        ASSERT_TRUE(sim.wait_for_note("unread bytes discarded", std::chrono::seconds(5)));
        EXPECT_EQ(sim.requests(), c.requests);
    }
}

// Upload a file, download it again, reset the slot: the bytes come back unchanged, then the
// default returns. One simulator keeps its slots between the runs.
TEST(profile_round_trip, returns_the_uploaded_bytes)
{
    test_support::sim_process sim;
    put_file(file_path(sim, "in.bin"), edid_a);

    expect_result(run_on(sim, {"profile", "upload", "-t", "0", "4", "in.bin"}), "", "", 0);
    expect_result(run_on(sim, {"profile", "download", "4", "out.bin"}), saved_line(4, "out.bin"), "", 0);
    EXPECT_EQ(file_bytes(file_path(sim, "out.bin")), edid_a);

    expect_result(run_on(sim, {"profile", "reset", "-t", "0", "4"}), "", "", 0);
    expect_result(run_on(sim, {"profile", "download", "4", "out.bin"}), saved_line(4, "out.bin"), "", 0);
    EXPECT_EQ(file_bytes(file_path(sim, "out.bin")), default_slot(4));
}

}  // namespace
}  // namespace vistrel::e2e
