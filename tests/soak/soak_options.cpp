#include "tests/soak/soak_options.hpp"

#include <cerrno>
#include <cstdlib>

namespace vistrel::soak {
namespace {

unsigned long long whole_number(const std::string& text, const std::string& option, unsigned long long highest)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || text[0] == '-' || end != text.c_str() + text.size() || errno != 0 || value > highest) {
        throw usage_error("option [" + option + "] needs a whole number up to " + std::to_string(highest) + ", not ["
                          + text + "]");
    }
    return value;
}

}  // namespace

soak_options parse_soak_options(const std::vector<std::string>& arguments, const char* seed_variable)
{
    soak_options options;
    if (seed_variable != nullptr && *seed_variable != '\0') {
        options.seed = whole_number(seed_variable, "VISTREL_SOAK_SEED", ~0ULL);
        options.seed_given = true;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "-h" || option == "--help") {
            options.help = true;
            continue;
        }
        if (option == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            throw usage_error("option [" + option + "] is unknown or needs a value");
        }
        const std::string& value = arguments[++i];
        if (option == "--part") {
            if (value != "console" && value != "engine" && value != "both") {
                throw usage_error("option [--part] takes console, engine or both, not [" + value + "]");
            }
            options.console = value != "engine";
            options.engine = value != "console";
        } else if (option == "--seed") {
            options.seed = whole_number(value, option, ~0ULL);
            options.seed_given = true;
        } else if (option == "--exchanges") {
            options.console_exchanges = options.engine_exchanges = whole_number(value, option, 100'000'000);
        } else if (option == "--console-exchanges") {
            options.console_exchanges = whole_number(value, option, 100'000'000);
        } else if (option == "--engine-exchanges") {
            options.engine_exchanges = whole_number(value, option, 100'000'000);
        } else if (option == "--duration") {
            options.duration = std::chrono::seconds(whole_number(value, option, 7 * 24 * 3600));
        } else if (option == "--block") {
            options.block = static_cast<unsigned>(whole_number(value, option, 10'000));
            if (options.block == 0) {
                throw usage_error("option [--block] needs at least 1");
            }
        } else if (option == "--timeout") {
            options.console_timeout = static_cast<std::int64_t>(whole_number(value, option, 60));
            if (options.console_timeout == 0) {
                throw usage_error("option [--timeout] needs at least 1 second");
            }
        } else if (option == "--wait") {
            options.engine_wait = static_cast<int>(whole_number(value, option, 60'000));
            if (options.engine_wait < 40) {
                throw usage_error("option [--wait] needs at least 40 milliseconds");
            }
        } else {
            throw usage_error("unknown option [" + option + "]");
        }
    }
    return options;
}

std::string soak_usage_text(bool with_engine)
{
    std::string text =
        "Usage: vistrel_soak [options]\n"
        "Runs device exchanges against vistrel-sim with faults drawn at random and checks\n"
        "how each one ends, what it reports, what it returns and what it leaves behind.\n"
        "\n"
        "  --part console|engine|both  which part runs (default both)\n"
        "  --exchanges N               exchanges of each part (default 150 console, 300 engine)\n"
        "  --console-exchanges N       exchanges of the console part\n"
        "  --engine-exchanges N        exchanges of the engine part\n"
        "  --duration SECONDS          run each part this long (counts given still end it)\n"
        "  --seed N                    the seed of the draw (default: VISTREL_SOAK_SEED, else random)\n"
        "  --block N                   drawn exchanges per simulator run (default 40)\n"
        "  --timeout SECONDS           the console exchanges' time-out (default 1)\n"
        "  --wait MS                   the engine's reply wait (default 100, at least 40)\n"
        "  --verbose                   one line per exchange\n"
        "  -h, --help                  show this help\n";
    if (!with_engine) {
        text += "This build has no windowed engine: only the console part runs.\n";
    }
    return text;
}

}  // namespace vistrel::soak
