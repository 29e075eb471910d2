#include "tools/sim/sim_options.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vistrel::sim {
namespace {

unsigned version_number(const std::string& text, const std::string& option)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
        throw usage_error("option [" + option + "] needs a version MAJOR.MINOR or MAJOR.MINOR.NOTE");
    }
    return static_cast<unsigned>(std::stoul(text));
}

item_version parse_version(const std::string& text, const std::string& option)
{
    const auto first = text.find('.');
    if (first == std::string::npos) {
        version_number("", option);
    }
    const auto second = text.find('.', first + 1);
    item_version version;
    version.major = version_number(text.substr(0, first), option);
    version.minor = version_number(
        text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1), option);
    if (second != std::string::npos) {
        version.note = text.substr(second + 1);
    }
    return version;
}

std::chrono::milliseconds parse_seconds(const std::string& text, const std::string& option)
{
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno != 0 || !std::isfinite(seconds) || seconds <= 0
        || seconds > 1e7) {
        throw usage_error("option [" + option + "] needs a number of seconds greater than 0, not [" + text + "]");
    }
    return std::chrono::milliseconds(static_cast<long long>(std::ceil(seconds * 1000)));
}

std::string parse_line_end(const std::string& text)
{
    if (text == "crlf") {
        return "\r\n";
    }
    if (text == "lf") {
        return "\n";
    }
    if (text == "cr") {
        return "\r";
    }
    throw usage_error("option [--line-end] takes crlf, lf or cr, not [" + text + "]");
}

json parse_json(const std::string& text, const std::string& where)
{
    try {
        return json::parse(text);
    } catch (const json::parse_error& error) {
        throw usage_error(where + " is not valid JSON (byte " + std::to_string(error.byte) + ")");
    } catch (const json::out_of_range&) {
        throw usage_error(where + " is not valid JSON (a number beyond the range of a double)");
    }
}

std::vector<fault_rule> read_scenario_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw usage_error("cannot read scenario file [" + path + "]");
    }
    std::ostringstream text;
    text << file.rdbuf();
    try {
        return read_scenario(parse_json(text.str(), "scenario file [" + path + "]"));
    } catch (const rule_error& error) {
        throw usage_error("scenario file [" + path + "]: " + error.what());
    }
}

}  // namespace

sim_options parse_options(const std::vector<std::string>& arguments)
{
    sim_options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "-h" || option == "--help") {
            options.help = true;
            continue;
        }
        if (option == "--exit-on-eof") {
            options.server.exit_on_eof = true;
            continue;
        }
        if (option.rfind("--", 0) != 0) {
            throw usage_error("unexpected argument [" + option + "]");
        }
        if (i + 1 >= arguments.size()) {
            static const std::vector<std::string> known = {"--exit-after", "--log",    "--line-end",   "--hardware",
                                                           "--firmware",   "--schema", "--schema-url", "--profiles",
                                                           "--scenario",   "--fault"};
            if (std::find(known.begin(), known.end(), option) != known.end()) {
                throw usage_error("option [" + option + "] needs a value");
            }
            throw usage_error("unknown option [" + option + "]");
        }
        const std::string& value = arguments[++i];
        if (option == "--exit-after") {
            options.server.exit_after = parse_seconds(value, option);
        } else if (option == "--log") {
            options.log_path = value;
        } else if (option == "--line-end") {
            options.server.line_end = parse_line_end(value);
        } else if (option == "--hardware") {
            options.identity.hardware = parse_version(value, option);
        } else if (option == "--firmware") {
            options.identity.firmware = parse_version(value, option);
        } else if (option == "--schema") {
            options.identity.json_schema = parse_version(value, option);
        } else if (option == "--schema-url") {
            options.identity.schema_url = value;
        } else if (option == "--profiles") {
            options.profiles = value;
        } else if (option == "--scenario") {
            auto rules = read_scenario_file(value);
            options.rules.insert(options.rules.end(), rules.begin(), rules.end());
        } else if (option == "--fault") {
            try {
                options.rules.push_back(read_rule(parse_json(value, "fault rule")));
            } catch (const rule_error& error) {
                throw usage_error(error.what());
            }
        } else {
            throw usage_error("unknown option [" + option + "]");
        }
    }
    return options;
}

std::string usage_text()
{
    return "Usage: vistrel-sim [options]\n"
           "Simulates a Vistrel device on a pseudo-terminal. The first line of standard output is\n"
           "the port's path; the simulator serves until SIGINT or SIGTERM.\n"
           "\n"
           "  --exit-after SECONDS   end after this long\n"
           "  --exit-on-eof          end when standard input reaches its end\n"
           "  --log FILE             record every request and reply\n"
           "  --line-end crlf|lf|cr  line end of replies (default crlf)\n"
           "  --hardware VERSION     hardware version, MAJOR.MINOR[.NOTE] (default 1.3.B)\n"
           "  --firmware VERSION     firmware version (default 2.7)\n"
           "  --schema VERSION       JSON schema version (default 1.1)\n"
           "  --schema-url URL       JSON schema URL\n"
           "  --profiles DIR         load the slot defaults from DIR/slot0.bin .. DIR/slot7.bin\n"
           "  --scenario FILE        fault rules: a JSON array of rules, or {\"rules\": [...]}\n"
           "  --fault RULE           one fault rule as a JSON object (may be repeated)\n"
           "  -h, --help             show this help\n"
           "\n"
           "A fault rule is a JSON object that changes how the device answers chosen requests; the\n"
           "first rule that applies to a request shapes its reply. Which requests:\n"
           "  \"request\": N           the Nth non-empty request line, counted from 1\n"
           "  \"category\", \"case\", \"sort\"   requests of that category (and case, sort)\n"
           "  \"times\": N             apply at most N times\n"
           "  (a rule with neither \"request\" nor \"category\" applies to every request)\n"
           "What the reply becomes:\n"
           "  \"reply\": \"normal\"      the device's own answer (default)\n"
           "           \"silent\"      no answer at all\n"
           "           \"error\"       case error of the request's category, with \"number\" and\n"
           "                         \"message\" (for CAN requests \"signal\" names the signal)\n"
           "           \"json-error\"  category JSON, with \"number\", \"message\" and \"position\"\n"
           "           \"garbage\"     the text of \"garbage\", as a line\n"
           "           \"broken-line\" a line end right after the first member of the reply\n"
           "           \"text\"        the text of \"text\" as it stands, as a line in place of the reply\n"
           "  \"delay_ms\": N          pause before the first byte\n"
           "  \"split\": [...]         cut points: byte offsets, \"string\" (inside the first string\n"
           "                         value), \"line-end\" (before the line end), \"inside-line-end\"\n"
           "                         (between CR and LF); \"pause_ms\" between pieces (default 50)\n"
           "  \"notify\": \"HID\"|\"CAN\"  an unrelated update notification before the reply, in the\n"
           "                         same write unless \"notify_separate\" is true\n"
           "                         (\"notify_pause_ms\", default 20)\n"
           "  \"hangup\": true         send the first half of the reply (or \"hangup_at\" bytes), then\n"
           "                         close the port (\"hangup_pause_ms\" later, default 100); the\n"
           "                         simulator ends then\n"
           "  \"late\": true           keep the reply until the host has closed the port; it is lost\n"
           "  \"unavailable\": [codes] CAN signals that answer with error 0x0315 instead of a value\n"
           "Examples:\n"
           "  vistrel-sim --fault '{\"reply\":\"silent\"}'\n"
           "  vistrel-sim --fault '{\"request\":2,\"split\":[\"string\"],\"pause_ms\":300}'\n"
           "  vistrel-sim --fault '{\"category\":\"user profiles\",\"reply\":\"error\",\"number\":261,\"message\":\"busy\"}'\n";
}

}  // namespace vistrel::sim
