// "profile list" against the simulator: the whole table, rows for unusual EDIDs, an empty
// answer, several subcommands on one line and a failure that ends the line.
#include "tests/e2e/profile_fixture.hpp"
#include "tests/support/temporary_folder.hpp"

namespace vistrel::e2e {
namespace {

const std::string frame = "+" + std::string(97, '-') + "+\n";
const std::string separator = "|" + std::string(97, '-') + "|\n";
const std::string table_head = frame
    + "| Available profiles:                                                                             |\n"
    + separator
    + "| profile slot | resolution   | screen size | part number   | data string     | ECU     | CAN BUS |\n"
    + separator;

const std::string default_rows =
    "|      0       | 1920x720  px | 12.3\"       | VST CL 12.3   | \"FID-CLUSTER \"  | iID/FID | MIB     |\n"
    "|      1       | 1920x720  px | 10.3\"       | VST CID 10.25 | \"CENTER-DISP \"  | ABT     | MIB     |\n"
    "|      2       | 1280x720  px |  7.0\"       | VST HUD 7.0   | \"HEAD-UP     \"  | HUD     | AB      |\n"
    "|      3       | 1920x1080 px | 15.6\"       | VST PID 15.6  | \"PASSENGER   \"  | PID     | AB      |\n"
    "|      4       | 1280x800  px | 10.1\"       | VST CDD 10.1  | \"CDD-LOWER   \"  | CDD     | MIB     |\n"
    "|      5       | 2880x1080 px | 14.5\"       | VST WIDE 14.5 | \"PANORAMA    \"  | ABT     | AB      |\n"
    "|      6       | 1024x600  px |  7.0\"       | VST AUX 7.0   | \"SERVICE     \"  | NONE    | NONE    |\n"
    "|      7       | 2560x720  px | 14.2\"       | VST CL 14.2   | \"DUAL-CL     \"  | iID/FID | MIB     |\n";

const std::string default_table = table_head + default_rows + frame;

const std::string list_request = download_request({0, 1, 2, 3, 4, 5, 6, 7});

TEST(profile_list, prints_the_table_of_the_default_slots)
{
    run_sim_case({"defaults", {"profile", "list"}, {}, {list_request}, default_table, "", 0});
}

TEST(profile_list, prints_nothing_when_no_profile_comes_back)
{
    run_sim_case({"empty answer",
                  {"profile", "list"},
                  {"--fault", test_support::text_reply_rule(download_reply({}))},
                  {list_request},
                  "",
                  "",
                  0});
}

// An item without a usable EDID has no row, and its neighbour's row is its own.
TEST(profile_list, shows_no_row_for_an_item_without_a_usable_edid)
{
    const std::string row_6 =
        "|      6       | 1024x600  px |  7.0\"       | VST AUX 7.0   | \"SERVICE     \"  | NONE    | NONE    |\n";
    const std::string item_6 = "{\"edid\":\"" + base64_of(default_slot(6)) + "\",\"profile\":6}";
    for (const auto& [name, item] : unusable_items(5, default_slot(5))) {
        run_sim_case({name,
                      {"profile", "list"},
                      {"--fault", test_support::text_reply_rule(download_reply_of(item + "," + item_6))},
                      {list_request},
                      table_head + row_6 + frame,
                      "",
                      0});
    }
}

// Slots loaded from files: broken checksums, names outside the tables, no device data.
TEST(profile_list, shows_broken_checksums_and_unknown_names_in_the_rows)
{
    auto panel = sim::default_panels()[0];
    const auto slot_with = [&panel](auto change) {
        auto changed = panel;
        change(changed);
        return text_of(sim::build_edid(changed));
    };
    std::string base_checksum_broken = text_of(sim::build_edid(panel));
    base_checksum_broken[127] = static_cast<char>(base_checksum_broken[127] + 1);
    std::string extension_checksum_broken = text_of(sim::build_edid(panel));
    extension_checksum_broken[255] = static_cast<char>(extension_checksum_broken[255] + 1);

    const std::vector<std::string> slots = {
        slot_with([](auto& p) { p.can_bus = 9; }),
        slot_with([](auto& p) { p.ecu = 6; }),
        slot_with([](auto& p) {
            p.ecu = 7;
            p.can_bus = 3;
        }),
        slot_with([](auto& p) { p.format_code = 0x02; }),
        base_checksum_broken,
        extension_checksum_broken,
        std::string(256, '\0'),
        text_of(sim::build_edid(panel)).substr(0, 128),  // base block only
    };
    const std::string row = "1920x720  px | 12.3\"       | VST CL 12.3   | \"FID-CLUSTER \"  | ";
    const std::string rows =
        "|      0       | " + row + "iID/FID | unknown |\n" +
        "|      1       | " + row + "unknown | MIB     |\n" +
        "|      2       | " + row + "unknown | unknown |\n" +
        "|      3       | " + row + "unknown | unknown |\n" +
        "|      4       | <EDID checksum verification failed!> " + row + "iID/FID | MIB     |\n" +
        "|      5       | " + row + "iID/FID | MIB    <checksum verification failed> |\n" +
        "|      6       | <EDID unrecognized header pattern> unknown  | unknown    | unknown    | "
        "no data string |\n" +
        "|      7       | 1920x720  px | 12.3\"       | VST CL 12.3   | \"FID-CLUSTER \"  |\n";

    const test_support::temporary_folder slot_folder;
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        put_file((slot_folder.path() / ("slot" + std::to_string(slot) + ".bin")).string(), slots[slot]);
    }
    run_sim_case({"unusual slots",
                  {"profile", "list"},
                  {"--profiles", slot_folder.path().string()},
                  {list_request},
                  table_head + rows + frame,
                  "",
                  0});
}

std::string shown(const std::string& request)
{
    return "JSON <" + request.substr(0, request.size() - 1) + ">";
}

TEST(profile_list, runs_once_per_subcommand_and_stops_at_the_first_failure)
{
    const sim_case cases[] = {
        {"twice", {"profile", "list", "list"}, {}, {list_request, list_request}, default_table + default_table, "", 0},
        {"with a time-out each",
         {"profile", "list", "-t", "3", "list", "-t=1"},
         {},
         {list_request, list_request},
         default_table + default_table,
         "",
         0},
        {"then an unknown word",
         {"profile", "list", "lost"},
         {},
         {list_request},
         default_table,
         profile_help("lost"),
         0},
        {"device error on the first",
         {"profile", "list", "list"},
         {"--fault", R"({"request":1,"reply":"error"})"},
         {list_request},
         "",
         "error in " + shown(list_request) + " - [User profiles/error - simulated failure (16)]\n",
         1},
        {"no answer to the first",
         {"profile", "list", "-t", "1", "list"},
         {"--fault", R"({"request":1,"reply":"silent"})"},
         {list_request},
         "",
         "std::runtime_error - waiting for result timeouted\n",
         1},
        {"download fails before list",
         {"profile", "download", "3", "no-such-folder/out.bin", "list"},
         {},
         {download_request({3})},
         "",
         "std::runtime_error - Cannot open file no-such-folder/out.bin for writing.\n",
         1},
    };
    for (const auto& c : cases) {
        run_sim_case(c);
    }
}

TEST(profile_list, without_a_port_reports_it)
{
    const auto result = run_vistrel({"profile", "list"});
    expect_result(result, "", "std::runtime_error - COM port name not specified.\n", 1);
}

}  // namespace
}  // namespace vistrel::e2e
