#include "tests/support/wine_session.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <system_error>

#include <stdlib.h>
#include <unistd.h>

namespace vistrel::test_support {
namespace {

namespace fs = std::filesystem;

std::string environment_value(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// `name` itself when it holds a slash, otherwise the first executable of that name on PATH.
std::string find_program(const std::string& name)
{
    if (name.find('/') != std::string::npos) {
        return name;
    }
    std::string path = environment_value("PATH");
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const std::string folder = end > start ? path.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    throw std::runtime_error("cannot find " + name + " on PATH: install Wine (wine64, wine) or set VISTREL_WINE");
}

// A shell word in single quotes.
std::string shell_word(const std::string& text)
{
    std::string result = "'";
    for (const char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}

// What every Wine process of the tests gets: the prefix, no debug output, and no offer to
// install Mono or Gecko (a dialog nobody would answer).
std::vector<std::pair<std::string, std::string>> wine_environment(const std::string& prefix)
{
    return {{"WINEPREFIX", prefix}, {"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
}

// Runs a shell command line with Wine's settings and waits for it; what Wine leaves running
// holds /dev/null, not our pipes. The command's exit status.
int run_detached(const std::string& settings, const std::string& command)
{
    const std::string line = "timeout 300 " + settings + command + " </dev/null >/dev/null 2>&1";
    return std::system(line.c_str());
}

// The number at the end of a device path such as /dev/pts/12.
std::optional<unsigned> trailing_number(const std::string& device)
{
    std::size_t start = device.size();
    while (start > 0 && device[start - 1] >= '0' && device[start - 1] <= '9') {
        --start;
    }
    if (start == device.size() || device.size() - start > 6) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(device.substr(start)));
}

// An empty file of its own for one output of one run, removed with the object.
class capture_file {
public:
    capture_file()
    {
        std::string pattern = (fs::temp_directory_path() / "vistrel-wine-output-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            throw std::runtime_error(std::string("cannot create a file for Wine's output: ") + std::strerror(errno));
        }
        ::close(fd);
        path_ = pattern;
    }
    capture_file(const capture_file&) = delete;
    capture_file& operator=(const capture_file&) = delete;
    ~capture_file()
    {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }

    const std::string& path() const { return path_; }

    std::string contents() const
    {
        std::ifstream file(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

private:
    std::string path_;
};

}  // namespace

wine_session::wine_session()
{
    prefix_ = environment_value("WINEPREFIX");
    if (prefix_.empty()) {
        prefix_ = (fs::read_symlink("/proc/self/exe").parent_path() / "wineprefix").string();
    }
    const std::string launcher = environment_value("VISTREL_WINE");
    launcher_ = find_program(launcher.empty() ? "wine" : launcher);

    settings_ = "env ";
    for (const auto& [name, value] : wine_environment(prefix_)) {
        settings_ += name + "=" + shell_word(value) + " ";
    }
    // The server that belongs to the launcher: beside it, else the one on PATH.
    const fs::path beside = fs::path(launcher_).parent_path() / "wineserver";
    server_ = ::access(beside.c_str(), X_OK) == 0 ? beside.string() : find_program("wineserver");
    // Starting a server while one runs for the prefix is harmless: the new one ends at once,
    // with a status that tells nothing; wineboot below fails when there is no server.
    run_detached(settings_, shell_word(server_) + " -p");
    // Creates the prefix on first use (this takes a while), otherwise only brings up the
    // services of the running server.
    if (run_detached(settings_, shell_word(launcher_) + " wineboot") != 0) {
        throw std::runtime_error("Wine could not boot the prefix " + prefix_
                                 + " (wineboot failed or took longer than 300 s)");
    }
}

wine_session& wine_session::get()
{
    static wine_session session;
    return session;
}

process_result wine_session::run(const std::string& exe, const std::vector<std::string>& arguments,
                                 process_options options) const
{
    run_detached(settings_, shell_word(server_) + " -p");
    for (auto& setting : wine_environment(prefix_)) {
        options.set_environment.push_back(std::move(setting));
    }
    options.argv0.reset();
    std::vector<std::string> words;
    words.reserve(arguments.size() + 1);
    words.push_back(exe);
    words.insert(words.end(), arguments.begin(), arguments.end());

    // The outputs go to files, read once wine has ended, not to pipes: a Wine server that this
    // run started by itself would hold the pipes until it ends, seconds later, and write its
    // object dump into them.
    const capture_file output_file;
    const capture_file error_file;
    const bool own_output = options.standard_output_file.empty();
    if (own_output) {
        options.standard_output_file = output_file.path();
    }
    options.standard_error_file = error_file.path();
    process_result result = run_process(launcher_, words, options);
    if (own_output) {
        result.standard_output = output_file.contents();
    }
    result.standard_error = error_file.contents();
    return result;
}

std::string wine_session::com_port_for(const std::string& device) const
{
    const auto number = trailing_number(device);
    // Ports from COM9000 on stay free, for tests that need a port nobody maps.
    if (!number || *number >= 8990) {
        throw std::runtime_error("no COM port number for " + device +
                                 ": expected a path ending in a number below 8990, such as "
                                 "/dev/pts/3");
    }
    const std::string name = "com" + std::to_string(*number + 10);
    const fs::path folder = fs::path(prefix_) / "dosdevices";
    const fs::path link = folder / name;
    std::error_code error;
    if (fs::read_symlink(link, error) == fs::path(device)) {
        return "COM" + std::to_string(*number + 10);
    }
    // A fresh link under a private name, then renamed over the old one in one step.
    const fs::path staged = folder / (name + ".new" + std::to_string(::getpid()));
    fs::remove(staged, error);
    fs::create_symlink(device, staged);
    fs::rename(staged, link);
    return "COM" + std::to_string(*number + 10);
}

}  // namespace vistrel::test_support
