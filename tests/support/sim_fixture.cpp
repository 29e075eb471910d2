#include "tests/support/sim_fixture.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vistrel::test_support {
namespace {

using clock = std::chrono::steady_clock;
constexpr auto wait_step = std::chrono::milliseconds(2);

std::string read_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string make_folder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/vistrel-sim-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error(std::string("cannot create a folder for the simulator: ") + std::strerror(errno));
    }
    return pattern;
}

int exit_status_of(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string default_sim_path()
{
    if (const char* path = std::getenv("VISTREL_SIM"); path != nullptr && *path != '\0') {
        return path;
    }
#ifdef VISTREL_SIM_PATH
    return VISTREL_SIM_PATH;
#else
    return "vistrel-sim";
#endif
}

std::string text_reply_rule(std::string_view text, const std::vector<std::size_t>& cuts)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string rule = R"({"reply":"text","text":")";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            rule += '\\';
            rule += c;
        } else if (byte < 0x20) {
            rule += "\\u00";
            rule += hex[byte >> 4];
            rule += hex[byte & 0xF];
        } else {
            rule += c;
        }
    }
    rule += '"';
    if (!cuts.empty()) {
        rule += R"(,"split":[)";
        for (std::size_t i = 0; i < cuts.size(); ++i) {
            rule += (i == 0 ? "" : ",") + std::to_string(cuts[i]);
        }
        rule += "]";
    }
    return rule + "}";
}

std::string unescape_log_bytes(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            bytes += text[i];
            continue;
        }
        const char code = text[++i];
        switch (code) {
        case 'n':
            bytes += '\n';
            break;
        case 'r':
            bytes += '\r';
            break;
        case 't':
            bytes += '\t';
            break;
        case 'x':
            if (i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
                bytes += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
                i += 2;
            } else {
                bytes += "\\x";
            }
            break;
        default:
            bytes += code;  // "\\" and anything unexpected
        }
    }
    return bytes;
}

sim_process::sim_process(std::vector<std::string> arguments)
    : sim_process([&arguments] {
          sim_settings settings;
          settings.arguments = std::move(arguments);
          return settings;
      }())
{
}

sim_process::sim_process(sim_settings settings)
{
    folder_ = make_folder();
    log_path_ = folder_ + "/sim.log";
    error_path_ = folder_ + "/stderr.txt";

    std::vector<std::string> arguments = {settings.program.empty() ? default_sim_path() : settings.program, "--log",
                                          log_path_, "--exit-on-eof"};
    if (!settings.scenario.empty()) {
        const std::string scenario_path = folder_ + "/scenario.json";
        std::ofstream(scenario_path, std::ios::binary) << settings.scenario;
        arguments.push_back("--scenario");
        arguments.push_back(scenario_path);
    }
    arguments.insert(arguments.end(), settings.arguments.begin(), settings.arguments.end());

    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe2 failed: ") + std::strerror(errno));
    }
    if (::pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        throw std::runtime_error(std::string("pipe2 failed: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, error_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    stdin_fd_ = input[1];
    stdout_fd_ = output[0];
    if (spawned != 0) {
        pid_ = -1;
        const std::string program = arguments[0];
        release();
        throw std::runtime_error("cannot start the simulator [" + program + "]: " + std::strerror(spawned));
    }

    // The first line of standard output is the port.
    std::string line;
    const auto deadline = clock::now() + settings.start_limit;
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
        pollfd fd{stdout_fd_, POLLIN, 0};
        const int ready = left > 0 ? ::poll(&fd, 1, static_cast<int>(left)) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        char buffer[256];
        const ssize_t got = ready > 0 ? ::read(stdout_fd_, buffer, sizeof buffer) : 0;
        if (got <= 0) {
            const std::string why = ready > 0 ? "ended before printing its port" : "printed no port in time";
            stop(std::chrono::milliseconds(500));
            const std::string errors = error_output();
            release();
            throw std::runtime_error("the simulator " + why + "; standard error: " + errors);
        }
        line.append(buffer, static_cast<std::size_t>(got));
    }
    port_ = line.substr(0, line.find('\n'));
}

sim_process::~sim_process()
{
    release();
}

void sim_process::release()
{
    if (pid_ > 0 && !exit_status_) {
        stop();
    }
    for (int* fd : {&stdin_fd_, &stdout_fd_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }
}

std::string sim_process::log_text() const
{
    return read_file(log_path_);
}

std::vector<sim_record> sim_process::log() const
{
    std::vector<sim_record> records;
    std::istringstream lines(log_text());
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() < 3) {
            continue;
        }
        sim_record record;
        const std::string_view prefix(line.data(), 3);
        if (prefix == "rx ") {
            record.what = sim_record::kind::request;
            record.bytes = unescape_log_bytes(std::string_view(line).substr(3));
        } else if (prefix == "tx ") {
            record.what = sim_record::kind::reply;
            record.bytes = unescape_log_bytes(std::string_view(line).substr(3));
        } else {
            record.what = sim_record::kind::note;
            record.bytes = line.substr(3);
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<std::string> sim_process::requests() const
{
    std::vector<std::string> result;
    for (auto& record : log()) {
        if (record.what == sim_record::kind::request) {
            result.push_back(std::move(record.bytes));
        }
    }
    return result;
}

std::vector<std::string> sim_process::replies() const
{
    std::vector<std::string> result;
    for (auto& record : log()) {
        if (record.what == sim_record::kind::reply) {
            result.push_back(std::move(record.bytes));
        }
    }
    return result;
}

bool sim_process::wait_for_requests(std::size_t count, std::chrono::milliseconds bound) const
{
    const auto deadline = clock::now() + bound;
    while (requests().size() < count) {
        if (clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(wait_step);
    }
    return true;
}

bool sim_process::wait_for_note(std::string_view text, std::chrono::milliseconds bound) const
{
    const auto deadline = clock::now() + bound;
    for (;;) {
        for (const auto& record : log()) {
            if (record.what == sim_record::kind::note && record.bytes.find(text) != std::string::npos) {
                return true;
            }
        }
        if (clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(wait_step);
    }
}

std::string sim_process::error_output() const
{
    return read_file(error_path_);
}

std::optional<int> sim_process::wait_for_exit(std::chrono::milliseconds bound)
{
    if (exit_status_ || pid_ <= 0) {
        return exit_status_;
    }
    const auto deadline = clock::now() + bound;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno != EINTR)) {
            exit_status_ = done == pid_ ? exit_status_of(status) : -1;
            return exit_status_;
        }
        if (clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(wait_step);
    }
}

int sim_process::stop(std::chrono::milliseconds bound)
{
    if (pid_ <= 0) {
        return -1;
    }
    if (!exit_status_) {
        ::kill(pid_, SIGTERM);
        if (!wait_for_exit(bound)) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            exit_status_ = -1;
        }
    }
    return *exit_status_;
}

}  // namespace vistrel::test_support
