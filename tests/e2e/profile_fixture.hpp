// What the profile end-to-end tests share: vistrel run against a simulator, files in the
// simulator's folder, the simulator's own EDIDs and the exact request texts.
#pragma once

#include "tests/e2e/expected_help.hpp"
#include "tests/e2e/run_vistrel.hpp"
#include "tests/support/sim_fixture.hpp"
#include "tools/sim/base64.hpp"
#include "tools/sim/edid_builder.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <ios>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace vistrel::e2e {

// Runs vistrel with "-c <the simulator's port>" in front of `arguments`, in `folder`.
inline test_support::process_result run_on(const test_support::sim_process& sim, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"-c", test_support::port_of(sim)});
    test_support::process_options options;
    options.working_directory = sim.folder();
    return run_vistrel(arguments, no_usb_bus, options);
}

inline void expect_result(const test_support::process_result& result, const std::string& output,
                          const std::string& error, int status)
{
    EXPECT_EQ(result.standard_output, output);
    EXPECT_EQ(result.standard_error, error);
    EXPECT_EQ(result.exit_status, status);
    EXPECT_FALSE(result.timed_out);
}

inline std::string file_path(const test_support::sim_process& sim, const std::string& name)
{
    return sim.folder() + "/" + name;
}

inline void put_file(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string file_bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::string text_of(const sim::edid_block& edid)
{
    return {reinterpret_cast<const char*>(edid.data()), edid.size()};
}

// The EDID the simulator keeps in a slot before anything was uploaded.
inline std::string default_slot(int slot)
{
    return text_of(sim::build_edid(sim::default_panels()[static_cast<std::size_t>(slot)]));
}

// Some bytes that are no slot's default.
inline std::string numbered_bytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 13 + seed) & 0xff);
    }
    return bytes;
}

inline std::string base64_of(const std::string& bytes)
{
    return sim::base64_encode(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

inline std::string numbers_request(const std::string& event_case, const std::string& sort,
                                   const std::vector<int>& numbers)
{
    std::string data;
    for (const int number : numbers) {
        data += (data.empty() ? "" : ",") + std::string("{\"profile\":") + std::to_string(number) + "}";
    }
    return "{\"category\":\"user profiles\",\"case\":\"" + event_case + "\",\"sort\":\"" + sort + "\",\"data\":[" + data
        + "]}\n";
}

inline std::string download_request(const std::vector<int>& numbers)
{
    return numbers_request("get", "download", numbers);
}

inline std::string reset_request(const std::vector<int>& numbers)
{
    return numbers_request("set", "reset", numbers);
}

// The "data" elements {"profile":<slot>,"edid":"<Base64>"} of these (slot, bytes) pairs,
// in order, comma-separated.
inline std::string profile_items(const std::vector<std::pair<int, std::string>>& profiles)
{
    std::string data;
    for (const auto& [number, bytes] : profiles) {
        data += (data.empty() ? "" : ",") + std::string("{\"profile\":") + std::to_string(number) + ",\"edid\":\""
            + base64_of(bytes) + "\"}";
    }
    return data;
}

// One upload element per (slot, bytes) pair, in order.
inline std::string upload_request(const std::vector<std::pair<int, std::string>>& profiles)
{
    return "{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"upload\",\"data\":[" + profile_items(profiles)
        + "]}\n";
}

// A download reply whose data holds these items (comma-separated element texts).
inline std::string download_reply_of(const std::string& items)
{
    return "{\"category\":\"user profiles\",\"case\":\"state\",\"sort\":\"download\",\"data\":[" + items + "]}";
}

// A download reply with these (slot, bytes) items, in this order.
inline std::string download_reply(const std::vector<std::pair<int, std::string>>& profiles)
{
    return download_reply_of(profile_items(profiles));
}

// Items of a download reply that name `slot` but give it no usable EDID, each with the
// name of its case; `edid` is another slot's EDID that a neighbouring item could lend.
// None of them may yield a profile, whatever stands next to them.
inline std::vector<std::pair<std::string, std::string>> unusable_items(int slot, const std::string& edid)
{
    const std::string number = std::to_string(slot);
    const std::string text = base64_of(edid);
    return {
        {"empty EDID first", "{\"edid\":\"\",\"profile\":" + number + "}"},
        {"empty EDID last", "{\"profile\":" + number + ",\"edid\":\"\"}"},
        {"invalid EDID first", "{\"edid\":\"@@@@\",\"profile\":" + number + "}"},
        {"invalid EDID last", "{\"profile\":" + number + ",\"edid\":\"A!B=\"}"},
        {"EDID longer than 256 bytes",
         "{\"edid\":\"" + base64_of(edid + edid.substr(0, 3)) + "\",\"profile\":" + number + "}"},
        {"no EDID", "{\"profile\":" + number + "}"},
        {"number and EDID in two items", "{\"profile\":" + number + "},{\"edid\":\"" + text + "\"}"},
        {"EDID and number in two items", "{\"edid\":\"" + text + "\"},{\"profile\":" + number + "}"},
    };
}

// What the standard library says when a stream cannot read what was asked.
inline std::string stream_failure_text()
{
    std::ifstream file;
    file.exceptions(std::ios_base::failbit | std::ios_base::badbit);
    try {
        file.open("/nonexistent/vistrel-e2e/none.bin", std::ios_base::binary);
    } catch (const std::ios_base::failure& failure) {
        return failure.what();
    }
    return "(the stream did not fail)";
}

// One run of vistrel against a fresh simulator, and everything it should show.
struct sim_case {
    std::string name;
    std::vector<std::string> arguments;  // after "-c <port>"
    std::vector<std::string> sim_arguments;  // e.g. {"--fault", test_support::text_reply_rule(...)}
    std::vector<std::string> requests;  // what the simulator must have received, in order
    std::string output;
    std::string error;
    int status = 0;
};

// Starts a simulator, lets `prepare` put files into its folder, runs the case and compares
// the output, the exit status and the requests; `after` then looks at the files while the
// simulator's folder still exists.
inline void run_sim_case(const sim_case& c, const std::function<void(const test_support::sim_process&)>& prepare = {},
                         const std::function<void(const test_support::sim_process&)>& after = {})
{
    SCOPED_TRACE(c.name);
    test_support::sim_process sim(c.sim_arguments);
    if (prepare) {
        prepare(sim);
    }
    const auto result = run_on(sim, c.arguments);
    expect_result(result, c.output, c.error, c.status);
    // Requests were received before vistrel ended; the bounds only cover the log's writing.
    // Once the simulator has seen vistrel close the port, it has logged whatever was sent.
    if (!c.requests.empty()) {
        sim.wait_for_requests(c.requests.size(), std::chrono::seconds(2));
        sim.wait_for_note("unread bytes discarded", std::chrono::seconds(2));
    } else {
        // A run that sends nothing may not open the port at all: a short look suffices.
        sim.wait_for_requests(1, std::chrono::milliseconds(50));
    }
    EXPECT_EQ(sim.requests(), c.requests);
    if (after) {
        after(sim);
    }
}

}  // namespace vistrel::e2e
