#include "tests/support/process_runner.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vistrel::test_support {
namespace {

using clock = std::chrono::steady_clock;

// A file descriptor that is closed when it goes out of scope.
class owned_fd {
public:
    owned_fd() = default;
    explicit owned_fd(int fd) : fd_(fd) {}
    owned_fd(const owned_fd&) = delete;
    owned_fd& operator=(const owned_fd&) = delete;
    owned_fd(owned_fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    owned_fd& operator=(owned_fd&& other) noexcept
    {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~owned_fd() { reset(); }
    int get() const { return fd_; }
    void reset()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

struct pipe_pair {
    owned_fd read_end;
    owned_fd write_end;
};

pipe_pair make_pipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe2 failed: ") + std::strerror(errno));
    }
    pipe_pair pair;
    pair.read_end = owned_fd(fds[0]);
    pair.write_end = owned_fd(fds[1]);
    return pair;
}

bool has_name(const std::string& entry, const std::string& name)
{
    return entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 && entry[name.size()] == '=';
}

std::vector<std::string> child_environment(const process_options& options)
{
    std::vector<std::string> result;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text(*entry);
        bool dropped = false;
        for (const auto& name : options.unset_environment) {
            dropped = dropped || has_name(text, name);
        }
        for (const auto& [name, value] : options.set_environment) {
            dropped = dropped || has_name(text, name);
        }
        if (!dropped) {
            result.push_back(text);
        }
    }
    for (const auto& [name, value] : options.set_environment) {
        result.push_back(name + "=" + value);
    }
    return result;
}

std::vector<char*> pointers_to(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (auto& text : texts) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void exec_child(const char* program, char* const* argv, char* const* envp, int stdin_fd, int stdout_fd,
                             int stderr_fd, const char* directory, int error_fd)
{
    ::setpgid(0, 0);
    if (::dup2(stdin_fd, 0) < 0 || ::dup2(stdout_fd, 1) < 0 || ::dup2(stderr_fd, 2) < 0
        || (directory[0] != '\0' && ::chdir(directory) != 0)) {
        const int error = errno;
        [[maybe_unused]] auto written = ::write(error_fd, &error, sizeof error);
        ::_exit(127);
    }
    ::execve(program, argv, envp);
    const int error = errno;
    [[maybe_unused]] auto written = ::write(error_fd, &error, sizeof error);
    ::_exit(127);
}

int milliseconds_left(clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left);
}

}  // namespace

process_result run_process(const std::string& program, const std::vector<std::string>& arguments,
                           const process_options& options)
{
    std::vector<std::string> argv_texts;
    argv_texts.push_back(options.argv0.value_or(program));
    argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env_texts = child_environment(options);
    std::vector<char*> argv = pointers_to(argv_texts);
    std::vector<char*> envp = pointers_to(env_texts);

    pipe_pair input = make_pipe();
    pipe_pair output = make_pipe();
    pipe_pair error = make_pipe();
    pipe_pair exec_status = make_pipe();
    // An output sent to a file instead of a pipe: the child writes to the file, nothing is captured.
    const auto send_to_file = [](pipe_pair& pipe, const std::string& path) {
        if (path.empty()) {
            return;
        }
        const int file = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (file < 0) {
            throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
        }
        pipe.read_end.reset();
        pipe.write_end = owned_fd(file);
    };
    send_to_file(output, options.standard_output_file);
    send_to_file(error, options.standard_error_file);

    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    }
    if (pid == 0) {
        exec_child(program.c_str(), argv.data(), envp.data(), input.read_end.get(), output.write_end.get(),
                   error.write_end.get(), options.working_directory.c_str(), exec_status.write_end.get());
    }
    ::setpgid(pid, pid);  // also done by the child; whichever runs first wins
    input.read_end.reset();
    output.write_end.reset();
    error.write_end.reset();
    exec_status.write_end.reset();

    int exec_error = 0;
    if (::read(exec_status.read_end.get(), &exec_error, sizeof exec_error) == static_cast<ssize_t>(sizeof exec_error)) {
        ::waitpid(pid, nullptr, 0);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(exec_error));
    }

    process_result result;
    const auto deadline = clock::now() + options.time_limit;
    std::size_t input_written = 0;
    if (options.standard_input.empty()) {
        input.write_end.reset();
    } else {
        // A child that stops reading early must not end this process with SIGPIPE.
        ::signal(SIGPIPE, SIG_IGN);
        ::fcntl(input.write_end.get(), F_SETFL, O_NONBLOCK);
    }

    auto kill_child = [&] {
        result.timed_out = true;
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
    };

    // Read both outputs and feed the input until the child has closed them (or, for outputs
    // sent to files, until the input is fed).
    while (output.read_end.get() >= 0 || error.read_end.get() >= 0 || input.write_end.get() >= 0) {
        pollfd fds[3] = {
            {output.read_end.get(), POLLIN, 0}, {error.read_end.get(), POLLIN, 0}, {input.write_end.get(), POLLOUT, 0}};
        const int left = milliseconds_left(deadline);
        if (left == 0) {
            kill_child();
            break;
        }
        const int ready = ::poll(fds, 3, left);
        if (ready < 0 && errno != EINTR) {
            kill_child();
            break;
        }
        owned_fd* sources[2] = {&output.read_end, &error.read_end};
        std::string* sinks[2] = {&result.standard_output, &result.standard_error};
        for (int i = 0; i < 2; ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t count = ::read(sources[i]->get(), buffer, sizeof buffer);
            if (count > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                sources[i]->reset();
            }
        }
        if ((fds[2].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
            const ssize_t count = ::write(input.write_end.get(), options.standard_input.data() + input_written,
                                          options.standard_input.size() - input_written);
            if (count > 0) {
                input_written += static_cast<std::size_t>(count);
            }
            if ((count < 0 && errno != EAGAIN && errno != EINTR) || input_written == options.standard_input.size()) {
                input.write_end.reset();
            }
        }
    }
    input.write_end.reset();

    // Wait for the child to end, still within the time limit.
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            break;
        }
        if (done < 0 && errno != EINTR) {
            throw std::runtime_error(std::string("waitpid failed: ") + std::strerror(errno));
        }
        if (milliseconds_left(deadline) == 0 && !result.timed_out) {
            kill_child();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(status)) {
        result.exit_status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.killed_by_signal = WTERMSIG(status);
    }
    return result;
}

}  // namespace vistrel::test_support
