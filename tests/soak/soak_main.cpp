// vistrel_soak: thousands of device exchanges against vistrel-sim, in one process, with a
// fault drawn at random for each: the console program's exchanges on one serial channel, and
// the windowed program's WorkingEngine in a QCoreApplication's event loop. It checks that every
// exchange ends within its time-out (a hang is 1.5 s past it; the worst overrun is printed),
// that a failure is reported once and a success not at all, that the outcome is the one the
// fault calls for, that profiles and signal values read back are what was written, and that
// the descriptors and threads at the end are those of the start (memory: the asan build).
//
// CTest runs a short form. The long form, by hand, in the asan build (and the console part in
// the tsan build, which has no windowed engine):
//   build/asan/tests/soak/vistrel_soak --console-exchanges 3000 --engine-exchanges 4000
//   build/tsan/tests/soak/vistrel_soak --part console --console-exchanges 3000
// The seed is printed; --seed N or VISTREL_SOAK_SEED=N draws the same exchanges again.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tests/soak/console_soak.hpp"
#include "tests/soak/soak_options.hpp"
#include "tests/soak/soak_random.hpp"

#ifdef VISTREL_SOAK_ENGINE
#include <QCoreApplication>
#include <QtGlobal>

#include "tests/soak/engine_soak.hpp"
#endif

namespace {

#ifdef VISTREL_SOAK_ENGINE
// The engine traces every request and reply as a debug message: thousands of them. Warnings
// and worse still go to standard error.
void drop_debug_messages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg) {
        return;
    }
    std::cerr << message.toStdString() << std::endl;
}
#endif

#ifdef VISTREL_SOAK_ENGINE
constexpr bool with_engine = true;
#else
constexpr bool with_engine = false;
#endif

}  // namespace

int main(int argc, char** argv)
{
    using namespace vistrel::soak;
    soak_options options;
    try {
        options = parse_soak_options(std::vector<std::string>(argv + 1, argv + argc), std::getenv("VISTREL_SOAK_SEED"));
    } catch (const usage_error& error) {
        std::cerr << "vistrel_soak: " << error.what() << "\n(see vistrel_soak --help)" << std::endl;
        return 2;
    }
    if (options.help) {
        std::cout << soak_usage_text(with_engine);
        return 0;
    }
    if (!options.duration) {
        options.console_exchanges = options.console_exchanges.value_or(150);
        options.engine_exchanges = options.engine_exchanges.value_or(300);
    }
    if (!options.seed_given) {
        options.seed = fresh_seed();
    }
    std::cout << "vistrel_soak: seed " << options.seed << " (again with --seed " << options.seed << ")" << std::endl;

    unsigned long problems = 0;
    try {
        if (options.console) {
            problems += run_console_soak(options, options.seed, std::cout);
        }
#ifdef VISTREL_SOAK_ENGINE
        if (options.engine) {
            qInstallMessageHandler(drop_debug_messages);
            int qt_argc = 1;
            QCoreApplication application(qt_argc, argv);
            // Its own draw, so that either part alone draws what it draws in a run of both.
            problems += run_engine_soak(options, options.seed ^ 0x9E37'79B9'7F4A'7C15ULL, std::cout);
        }
#endif
    } catch (const std::exception& error) {
        std::cout << "vistrel_soak: the soak itself failed: " << error.what() << std::endl;
        return 1;
    }
    std::cout << "vistrel_soak: " << problems << " problems (seed " << options.seed << ")" << std::endl;
    return problems == 0 ? 0 : 1;
}
