// vistrel-dimming against vistrel-sim: the exact standard output, standard error and exit
// status of each command, and the exact request lines the simulator received. The set
// requests of the presets are those the dialog's own tests expect of its Quick Settings.
#include "tests/support/process_runner.hpp"
#include "tests/support/sim_fixture.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using vistrel::test_support::process_options;
using vistrel::test_support::process_result;
using vistrel::test_support::sim_process;
using vistrel::test_support::sim_settings;

const std::string program = VISTREL_DIMMING_PROGRAM;

// The request of a get, as the dialog sends it: every signal named.
const std::string getRequest = "{\"category\":\"CAN\",\"case\":\"get\",\"sort\":\"signal\",\"data\":["
                               "{\"identifier\":{\"code\":1}},{\"identifier\":{\"code\":2}},"
                               "{\"identifier\":{\"code\":3}},{\"identifier\":{\"code\":4}},"
                               "{\"identifier\":{\"code\":5}},{\"identifier\":{\"code\":6}}]}\n";

// What the simulator holds when it starts.
const std::string startValues = "DI_KL_58xd=200\n"
                                "DI_KL_58xs=80\n"
                                "DI_Display_Nachtdesign=0\n"
                                "DI_KL_58xt=50\n"
                                "LS_Helligkeit_FW=Init\n"
                                "RLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n";

// One item of a set request: the signal's code and its value member, e.g. "physical":2.53E2.
std::string item(int code, const std::string &value)
{
    return "{\"identifier\":{\"code\":" + std::to_string(code) + "},\"value\":{" + value + "}}";
}

std::string setRequest(const std::vector<std::string> &items)
{
    std::string request = "{\"category\":\"CAN\",\"case\":\"set\",\"sort\":\"signal\",\"data\":[";
    for (std::size_t i = 0; i < items.size(); ++i)
        request += (i > 0 ? "," : "") + items[i];
    return request + "]}\n";
}

std::string named(const std::string &text)
{
    return "\"textual\":\"" + text + "\"";
}

std::string physical(const std::string &number)
{
    return "\"physical\":" + number;
}

// Runs the program without a display and with the debug output of every category switched
// on, so that nothing but the program's own lines can reach standard error. `ports` stands for
// the connected devices (none when not given).
process_result runDimming(
    const std::vector<std::string> &arguments, const std::string &ports = "", process_options options = {})
{
    options.set_environment.emplace_back("VISTREL_DIMMING_PORTS", ports);
    options.set_environment.emplace_back("QT_LOGGING_RULES", "*.debug=true");
    options.unset_environment = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    process_result result = vistrel::test_support::run_process(program, arguments, options);
    EXPECT_FALSE(result.timed_out);
    return result;
}

std::vector<std::string> withPort(const sim_process &sim, std::vector<std::string> words)
{
    words.insert(words.begin(), {"-c", sim.port()});
    return words;
}

// The words of get's output, as the shell passes $(get) on.
std::vector<std::string> lines(const std::string &output)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        words.push_back(output.substr(start, end - start));
    return words;
}

// The requests the simulator has received once it has logged `count` of them.
std::vector<std::string> requests(const sim_process &sim, std::size_t count)
{
    sim.wait_for_requests(count, 2s);
    return sim.requests();
}

void expectSuccess(const process_result &result, const std::string &output)
{
    EXPECT_EQ(result.standard_output, output);
    EXPECT_EQ(result.standard_error, "");
    EXPECT_EQ(result.exit_status, 0);
}

void expectFailure(const process_result &result, const std::string &line)
{
    EXPECT_EQ(result.standard_output, "");
    EXPECT_EQ(result.standard_error, line + "\n");
    EXPECT_EQ(result.exit_status, 1);
}

std::unique_ptr<sim_process> startSim(const std::string &scenario = "")
{
    sim_settings settings;
    settings.scenario = scenario;
    return std::make_unique<sim_process>(std::move(settings));
}

TEST(DimmingGet, printsTheSixSignalsInSignalOrder)
{
    const auto sim = startSim();
    expectSuccess(runDimming(withPort(*sim, {"get"})), startValues);
    EXPECT_EQ(requests(*sim, 1), std::vector<std::string> {getRequest});
}

// Each value form that set takes goes out as the dialog sends it (numbers as physical values,
// a lux band as its position, named values as text) and comes back in get's form.
TEST(DimmingSet, sendsOnlyTheNamedSignalsInEachValueForm)
{
    struct Case
    {
        std::vector<std::string> words;
        std::string request;
        std::string readBack;  // get's output afterwards
    };
    const Case cases[] = {
        {{"DI_KL_58xd=253"}, setRequest({item(1, physical("2.53E2"))}),
            "DI_KL_58xd=253\nDI_KL_58xs=80\nDI_Display_Nachtdesign=0\nDI_KL_58xt=50\nLS_Helligkeit_FW=Init\n"
            "RLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n"},
        {{"DI_KL_58xs=99.5"}, setRequest({item(2, physical("9.95E1"))}),
            "DI_KL_58xd=200\nDI_KL_58xs=99.5\nDI_Display_Nachtdesign=0\nDI_KL_58xt=50\nLS_Helligkeit_FW=Init\n"
            "RLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n"},
        {{"DI_KL_58xt=0", "LS_Helligkeit_FW=6126"},
            setRequest({item(4, physical("0.0")), item(5, physical("6.126E3"))}),
            "DI_KL_58xd=200\nDI_KL_58xs=80\nDI_Display_Nachtdesign=0\nDI_KL_58xt=0\nLS_Helligkeit_FW=6126\n"
            "RLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n"},
        {{"DI_KL_58xd=Fehler", "DI_KL_58xs=Init"}, setRequest({item(1, named("Fehler")), item(2, named("Init"))}),
            "DI_KL_58xd=Fehler\nDI_KL_58xs=Init\nDI_Display_Nachtdesign=0\nDI_KL_58xt=50\nLS_Helligkeit_FW=Init\n"
            "RLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n"},
        // The request follows signal order, whatever the order of the words.
        {{"RLS_Vorfeldhelligkeit_Boost=bis_20176_Lux", "DI_Display_Nachtdesign=1"},
            setRequest({item(3, physical("1E0")), item(6, physical("3E0"))}),
            "DI_KL_58xd=200\nDI_KL_58xs=80\nDI_Display_Nachtdesign=1\nDI_KL_58xt=50\nLS_Helligkeit_FW=Init\n"
            "RLS_Vorfeldhelligkeit_Boost=bis_20176_Lux\n"},
        {{"RLS_Vorfeldhelligkeit_Boost=0"}, setRequest({item(6, physical("0.0"))}),
            "DI_KL_58xd=200\nDI_KL_58xs=80\nDI_Display_Nachtdesign=0\nDI_KL_58xt=50\nLS_Helligkeit_FW=Init\n"
            "RLS_Vorfeldhelligkeit_Boost=groesser_24413_Lux\n"},
        {{"LS_Helligkeit_FW=1.2e3"}, setRequest({item(5, physical("1.2E3"))}),
            "DI_KL_58xd=200\nDI_KL_58xs=80\nDI_Display_Nachtdesign=0\nDI_KL_58xt=50\nLS_Helligkeit_FW=1200\n"
            "RLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.words.front());
        const auto sim = startSim();
        std::vector<std::string> words {"set"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        // The simulator accepts a set in silence, which is success.
        expectSuccess(runDimming(withPort(*sim, words)), "");
        expectSuccess(runDimming(withPort(*sim, {"get"})), c.readBack);
        EXPECT_EQ(requests(*sim, 2), (std::vector<std::string> {c.request, getRequest}));
    }
}

// What get prints, set takes: written back, the device holds the same values again.
TEST(DimmingSet, writesBackWhatGetPrinted)
{
    const auto sim = startSim();
    expectSuccess(
        runDimming(withPort(*sim, {"set", "DI_KL_58xs=0.5", "DI_KL_58xt=Fehler", "RLS_Vorfeldhelligkeit_Boost=7"})),
        "");
    const process_result read = runDimming(withPort(*sim, {"get"}));
    const std::string values = "DI_KL_58xd=200\nDI_KL_58xs=0.5\nDI_Display_Nachtdesign=0\nDI_KL_58xt=Fehler\n"
                               "LS_Helligkeit_FW=Init\nRLS_Vorfeldhelligkeit_Boost=bis_13780_Lux\n";
    expectSuccess(read, values);

    std::vector<std::string> words {"set"};
    for (const std::string &line : lines(read.standard_output))
        words.push_back(line);
    expectSuccess(runDimming(withPort(*sim, words)), "");
    expectSuccess(runDimming(withPort(*sim, {"get"})), values);

    const auto received = requests(*sim, 4);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[2],
        setRequest({item(1, physical("2E2")), item(2, physical("5E-1")), item(3, physical("0.0")),
            item(4, named("Fehler")), item(5, named("Init")), item(6, physical("7E0"))}));
}

// The presets send what the dialog's Quick Settings buttons send from its start state.
TEST(DimmingPreset, sendsTheDialogsValues)
{
    struct Case
    {
        std::string name;
        std::string request;
        std::string readBack;
    };
    const Case cases[] = {
        {"init",
            setRequest({item(1, named("Init")), item(2, named("Init")), item(3, physical("0.0")),
                item(4, named("Init")), item(5, named("Init")), item(6, physical("1.5E1"))}),
            "DI_KL_58xd=Init\nDI_KL_58xs=Init\nDI_Display_Nachtdesign=0\nDI_KL_58xt=Init\nLS_Helligkeit_FW=Init\n"
            "RLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n"},
        {"error",
            setRequest({item(1, named("Fehler")), item(2, named("Fehler")), item(3, physical("0.0")),
                item(4, named("Fehler")), item(5, named("Fehler")), item(6, physical("1.5E1"))}),
            "DI_KL_58xd=Fehler\nDI_KL_58xs=Fehler\nDI_Display_Nachtdesign=0\nDI_KL_58xt=Fehler\n"
            "LS_Helligkeit_FW=Fehler\nRLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n"},
        {"day-max",
            setRequest({item(1, physical("2.53E2")), item(2, physical("0.0")), item(3, physical("0.0")),
                item(4, physical("0.0")), item(5, physical("6.126E3")), item(6, physical("0.0"))}),
            "DI_KL_58xd=253\nDI_KL_58xs=0\nDI_Display_Nachtdesign=0\nDI_KL_58xt=0\nLS_Helligkeit_FW=6126\n"
            "RLS_Vorfeldhelligkeit_Boost=groesser_24413_Lux\n"},
        {"night-max",
            setRequest({item(1, physical("1E2")), item(2, physical("1E2")), item(3, physical("1E0")),
                item(4, physical("1E2")), item(5, physical("0.0")), item(6, physical("1.5E1"))}),
            "DI_KL_58xd=100\nDI_KL_58xs=100\nDI_Display_Nachtdesign=1\nDI_KL_58xt=100\nLS_Helligkeit_FW=0\n"
            "RLS_Vorfeldhelligkeit_Boost=bis_6428_Lux\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto sim = startSim();
        expectSuccess(runDimming(withPort(*sim, {"preset", c.name})), "");
        expectSuccess(runDimming(withPort(*sim, {"get"})), c.readBack);
        EXPECT_EQ(requests(*sim, 2), (std::vector<std::string> {c.request, getRequest}));
    }
}

TEST(DimmingGet, printsUnavailableForSignalsTheDeviceDoesNotServe)
{
    const auto sim = startSim(R"([{"category":"CAN","case":"get","unavailable":[5,6]}])");
    const process_result read = runDimming(withPort(*sim, {"get"}));
    expectSuccess(read,
        "DI_KL_58xd=200\nDI_KL_58xs=80\nDI_Display_Nachtdesign=0\nDI_KL_58xt=50\n"
        "LS_Helligkeit_FW=unavailable\nRLS_Vorfeldhelligkeit_Boost=unavailable\n");

    // Written back, the first unavailable signal refuses the set before anything is sent.
    std::vector<std::string> words {"set"};
    for (const std::string &line : lines(read.standard_output))
        words.push_back(line);
    expectFailure(runDimming(withPort(*sim, words)), "Cannot set LS_Helligkeit_FW to unavailable.");
    EXPECT_EQ(requests(*sim, 1), std::vector<std::string> {getRequest});
}

// Errors of the device: the dialog's texts, with the signal's name added to a signal error.
TEST(DimmingErrors, areOneLineWithTheDialogsText)
{
    struct Case
    {
        const char *what;
        std::string scenario;
        std::vector<std::string> words;
        std::string line;
    };
    const std::string setWords = "DI_KL_58xs=50";
    const Case cases[] = {
        {"signal error on get", R"([{"category":"CAN","reply":"error","number":770,"message":"busy","signal":2}])",
            {"get"}, "Unknown signal error occured! - busy Signal: DI_KL_58xs"},
        {"signal error on set", R"([{"category":"CAN","reply":"error","number":771,"message":"bad value","signal":2}])",
            {"set", setWords}, "Unknown signal error occured! - bad value Signal: DI_KL_58xs"},
        {"unavailable signal on set", R"([{"category":"CAN","case":"set","unavailable":[2]}])", {"set", setWords},
            "Unknown signal error occured! - signal not available Signal: DI_KL_58xs"},
        // No signal answers: no answer at all, as in the dialog.
        {"every signal unavailable", R"([{"category":"CAN","unavailable":[1,2,3,4,5,6]}])", {"get"},
            "Communication from device failed!"},
        {"error 21 alone", R"([{"category":"CAN","reply":"error","number":789,"message":"not served now","signal":1}])",
            {"get"}, "Communication from device failed!"},
        {"set refused as unreadable", R"([{"category":"CAN","reply":"json-error","number":1,"message":"bad"}])",
            {"set", setWords}, "Communication from device failed!"},
        {"set refused for no signal", R"([{"category":"CAN","reply":"error","number":772,"message":"no","signal":0}])",
            {"set", setWords}, "Communication from device failed!"},
        {"set refused by no signal error",
            R"([{"category":"CAN","reply":"error","number":272,"message":"no","signal":2}])", {"set", setWords},
            "Communication from device failed!"},
        {"silent device on get", R"([{"reply":"silent"}])", {"get"}, "Communication from device failed!"},
        {"band by number",
            R"([{"category":"CAN","reply":"text","text":)"
            R"("{\"category\":\"CAN\",\"case\":\"state\",\"sort\":\"signal\",\"data\":[{\"identifier\":{\"code\":6},\"value\":{\"physical\":3}}]}"}])",
            {"get"}, "Invalid Value received! Signal: RLS_Vorfeldhelligkeit_Boost"},
        {"unknown named value",
            R"([{"category":"CAN","reply":"text","text":)"
            R"("{\"category\":\"CAN\",\"case\":\"state\",\"sort\":\"signal\",\"data\":[{\"identifier\":{\"code\":1},\"value\":{\"textual\":\"Number\"}}]}"}])",
            {"get"}, "Invalid Value received! Signal: DI_KL_58xd"},
        {"signals left out",
            R"([{"category":"CAN","reply":"text","text":)"
            R"("{\"category\":\"CAN\",\"case\":\"state\",\"sort\":\"signal\",\"data\":[{\"identifier\":{\"code\":1},\"value\":{\"physical\":3}}]}"}])",
            {"get"}, "Communication from device failed!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto sim = startSim(c.scenario);
        expectFailure(runDimming(withPort(*sim, c.words)), c.line);
        EXPECT_EQ(requests(*sim, 1).size(), 1u);
    }
}

// Without -c the port is the first one the USB search lists, as the dialog takes the first
// entry of its port box; when it cannot be opened the engine searches again. A port named
// with -c is the only one: when it cannot be opened the command fails, and never goes on with
// the device that is connected.
TEST(DimmingPorts, areFoundAsTheDialogFindsThem)
{
    const auto sim = startSim();
    const std::string missing = "/nonexistent/vistrel-dimming/port";
    expectSuccess(runDimming({"get"}, sim->port()), startValues);
    expectSuccess(runDimming({"get"}, sim->port() + ":" + missing), startValues);
    expectSuccess(runDimming({"-c=" + sim->port(), "preset", "init"}), "");
    EXPECT_EQ(requests(*sim, 3).size(), 3u);

    expectFailure(runDimming({"-c", missing, "get"}, sim->port()), "Cannot connect to the device!");
    expectFailure(runDimming({"-c", missing, "get"}), "Cannot connect to the device!");
    expectFailure(runDimming({"-c", missing, "set", "DI_KL_58xd=1"}), "Cannot connect to the device!");
    expectFailure(runDimming({"get"}), "No device found!");
    expectFailure(runDimming({"get"}, missing + ":" + sim->port()), "Please select the device!");
    expectFailure(runDimming({"get"}, missing), "Cannot connect to the device!");
    EXPECT_EQ(sim->requests().size(), 3u);
}

TEST(DimmingPorts, listsTheConnectedDevices)
{
    expectSuccess(runDimming({"-l"}, "/dev/ttyACM0:/dev/ttyACM3"), "/dev/ttyACM0\n/dev/ttyACM3\n");
    expectSuccess(runDimming({"-l"}), "");
}

// Words that make no command print the usage line; values that cannot be sent are refused
// with one line. Either way nothing reaches the device.
TEST(DimmingArguments, badOnesAreRefusedBeforeAnythingIsSent)
{
    const std::string usage = "Usage: vistrel-dimming [-c PORT] (get | set NAME=VALUE... | preset "
                              "init|error|day-max|night-max) | -l | --help";
    struct Case
    {
        std::vector<std::string> words;  // after -c PORT
        std::string line;
    };
    const Case cases[] = {
        {{}, usage},
        {{"status"}, usage},
        {{"get", "DI_KL_58xd"}, usage},
        {{"set"}, usage},
        {{"preset"}, usage},
        {{"preset", "day"}, usage},
        {{"preset", "init", "error"}, usage},
        {{"-l"}, usage},
        {{"-c"}, usage},
        {{"-c", "/dev/ttyACM0", "get"}, usage},
        {{"-x", "get"}, usage},
        {{"set", "DI_KL_58xd"}, "Expected NAME=VALUE: DI_KL_58xd"},
        {{"set", "di_kl_58xd=1"}, "Unknown signal: di_kl_58xd"},
        {{"set", "EMPTY_=1"}, "Unknown signal: EMPTY_"},
        {{"set", "=1"}, "Unknown signal: "},
        {{"set", "DI_KL_58xd=1", "DI_KL_58xd=2"}, "Signal named twice: DI_KL_58xd"},
        {{"set", "DI_KL_58xd=1", "DI_KL_58xs=x"}, "Invalid value for DI_KL_58xs: x"},
        {{"set", "DI_KL_58xd=init"}, "Invalid value for DI_KL_58xd: init"},
        {{"set", "DI_KL_58xd="}, "Invalid value for DI_KL_58xd: "},
        {{"set", "DI_KL_58xd= 1"}, "Invalid value for DI_KL_58xd:  1"},
        {{"set", "DI_KL_58xd=nan"}, "Invalid value for DI_KL_58xd: nan"},
        {{"set", "DI_KL_58xd=0x10"}, "Invalid value for DI_KL_58xd: 0x10"},
        {{"set", "DI_KL_58xd=254"}, "Value out of range for DI_KL_58xd (0 to 253): 254"},
        {{"set", "DI_KL_58xd=-1"}, "Value out of range for DI_KL_58xd (0 to 253): -1"},
        {{"set", "DI_KL_58xs=100.5"}, "Value out of range for DI_KL_58xs (0 to 100): 100.5"},
        {{"set", "DI_KL_58xt=1e3"}, "Value out of range for DI_KL_58xt (0 to 100): 1e3"},
        {{"set", "LS_Helligkeit_FW=6127"}, "Value out of range for LS_Helligkeit_FW (0 to 6126): 6127"},
        {{"set", "DI_Display_Nachtdesign=2"}, "Value out of range for DI_Display_Nachtdesign (0 to 1): 2"},
        {{"set", "DI_Display_Nachtdesign=Init"}, "Invalid value for DI_Display_Nachtdesign: Init"},
        {{"set", "DI_Display_Nachtdesign=1.0"}, "Invalid value for DI_Display_Nachtdesign: 1.0"},
        {{"set", "RLS_Vorfeldhelligkeit_Boost=16"}, "Value out of range for RLS_Vorfeldhelligkeit_Boost (0 to 15): 16"},
        {{"set", "RLS_Vorfeldhelligkeit_Boost=bis_1_Lux"}, "Invalid value for RLS_Vorfeldhelligkeit_Boost: bis_1_Lux"},
        {{"set", "RLS_Vorfeldhelligkeit_Boost=Init"}, "Invalid value for RLS_Vorfeldhelligkeit_Boost: Init"},
        {{"set", "DI_KL_58xt=unavailable"}, "Cannot set DI_KL_58xt to unavailable."},
    };
    const auto sim = startSim();
    for (const Case &c : cases) {
        std::string words;
        for (const std::string &word : c.words)
            words += " [" + word + "]";
        SCOPED_TRACE(words);
        expectFailure(runDimming(withPort(*sim, c.words), sim->port()), c.line);
    }
    EXPECT_TRUE(sim->requests().empty());
}

TEST(DimmingArguments, helpIsPrintedOnStandardOutput)
{
    const std::string help = "Usage: vistrel-dimming [-c PORT] get\n"
                             "       vistrel-dimming [-c PORT] set NAME=VALUE...\n"
                             "       vistrel-dimming [-c PORT] preset init|error|day-max|night-max\n"
                             "       vistrel-dimming -l\n"
                             "Reads and sets the dimming signals of a Vistrel device, as VistrelDimming does.\n"
                             "\n"
                             "  -c PORT     the device's serial port (default: the first port -l lists)\n"
                             "  -l          list the ports of connected devices (USB 0483:5740), one per line\n"
                             "  -h, --help  show this help\n"
                             "\n"
                             "get prints the six signals as NAME=VALUE, one per line; set takes the same words:\n"
                             "  DI_KL_58xd                   Init, Fehler or a number from 0 to 253\n"
                             "  DI_KL_58xs                   Init, Fehler or a number from 0 to 100\n"
                             "  DI_Display_Nachtdesign       0 or 1\n"
                             "  DI_KL_58xt                   Init, Fehler or a number from 0 to 100\n"
                             "  LS_Helligkeit_FW             Init, Fehler or a number from 0 to 6126\n"
                             "  RLS_Vorfeldhelligkeit_Boost  a lux band, groesser_24413_Lux, bis_24413_Lux ... "
                             "bis_6428_Lux,\n"
                             "                               or its position from 0 to 15\n"
                             "A signal the device does not serve now reads NAME=unavailable; set refuses that value.\n"
                             "\n"
                             "Presets, as the Quick Settings buttons send them:\n"
                             "  init       Init everywhere, night design off, band bis_6428_Lux\n"
                             "  error      Fehler everywhere, night design off, band bis_6428_Lux\n"
                             "  day-max    253, 0, night design off, 0, 6126, band groesser_24413_Lux\n"
                             "  night-max  100, 100, night design on, 100, 0, band bis_6428_Lux\n"
                             "\n"
                             "Exit status: 0 on success, 1 on any failure (one line on standard error).\n";
    for (const std::vector<std::string> &words :
        {std::vector<std::string> {"--help"}, {"-h"}, {"-c", "/dev/ttyACM0", "--help"}}) {
        SCOPED_TRACE(words.back());
        expectSuccess(runDimming(words), help);
    }
}

TEST(DimmingOutput, thatCannotBeWrittenFailsTheCommand)
{
    if (!std::filesystem::is_character_file("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const auto sim = startSim();
    for (const std::vector<std::string> &words :
        {std::vector<std::string> {"-c", sim->port(), "get"}, {"-l"}, {"--help"}}) {
        SCOPED_TRACE(words.back());
        process_options options;
        options.standard_output_file = "/dev/full";
        expectFailure(runDimming(words, "/dev/ttyACM0", options), "Cannot write standard output.");
    }
}

}  // namespace
