#include "tools/sim/sim_server.hpp"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <system_error>

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "tools/sim/request_line.hpp"

namespace vistrel::sim {
namespace {

// A request line longer than this is not read; the device answers with a JSON error.
constexpr std::size_t longest_request = 1 << 20;

class signal_watch {
public:
    signal_watch()
    {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        if (::sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) {
            throw std::system_error(errno, std::generic_category(), "sigprocmask");
        }
        fd_ = ::signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
        if (fd_ < 0) {
            throw std::system_error(errno, std::generic_category(), "signalfd");
        }
    }
    signal_watch(const signal_watch&) = delete;
    signal_watch& operator=(const signal_watch&) = delete;
    ~signal_watch() { ::close(fd_); }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

}  // namespace

sim_server::sim_server(pty_port& port, device_model& model, std::vector<fault_rule> rules, sim_log& log,
                       server_settings settings)
    : port_(port), model_(model), rules_(std::move(rules)), log_(log), settings_(std::move(settings))
{
}

int sim_server::run()
{
    signal_watch signals;
    std::signal(SIGPIPE, SIG_IGN);
    const auto started = clock::now();
    const std::optional<clock::time_point> deadline =
        settings_.exit_after ? std::optional(started + *settings_.exit_after) : std::nullopt;

    for (;;) {
        follow_port();
        if (!write_due()) {
            return 0;
        }

        const auto now = clock::now();
        if (deadline && now >= *deadline) {
            log_.note("exit: time is up");
            return 0;
        }
        std::optional<clock::time_point> wake = deadline;
        if (!queue_.empty() && !waiting_for_room_) {
            wake = wake ? std::min(*wake, queue_.front().due) : queue_.front().due;
        }
        int timeout_ms = -1;
        if (wake) {
            // Round up so that the loop never wakes a little early and spins.
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*wake - now).count();
            timeout_ms = static_cast<int>(std::clamp<long long>(left, 0, 60'000));
        }

        pollfd fds[4] = {};
        nfds_t count = 0;
        fds[count++] = {signals.fd(), POLLIN, 0};
        const nfds_t master_index = count;
        fds[count++] = {port_.master_fd(), static_cast<short>(POLLIN | (waiting_for_room_ ? POLLOUT : 0)), 0};
        if (port_.watch_fd() >= 0) {
            fds[count++] = {port_.watch_fd(), POLLIN, 0};
        }
        const nfds_t input_index = count;
        if (settings_.exit_on_eof) {
            fds[count++] = {STDIN_FILENO, POLLIN, 0};
        }

        if (::poll(fds, count, timeout_ms) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::system_error(errno, std::generic_category(), "poll");
        }
        if (fds[0].revents != 0) {
            signalfd_siginfo info{};
            [[maybe_unused]] const auto got = ::read(signals.fd(), &info, sizeof info);
            log_.note(std::string("exit: ") + ::strsignal(static_cast<int>(info.ssi_signo)));
            return 0;
        }
        if (settings_.exit_on_eof && fds[input_index].revents != 0) {
            char discard[256];
            const ssize_t got = ::read(STDIN_FILENO, discard, sizeof discard);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
                log_.note("exit: end of standard input");
                return 0;
            }
        }
        const short master_events = fds[master_index].revents;
        if ((master_events & POLLOUT) != 0) {
            waiting_for_room_ = false;
        }
        if ((master_events & POLLIN) != 0) {
            read_requests();
        } else if ((master_events & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            throw std::runtime_error("the pseudo-terminal failed");
        }
    }
}

void sim_server::follow_port()
{
    for (const auto change : port_.refresh()) {
        switch (change) {
        case pty_port::change::opened:
            log_.note("port opened");
            break;
        case pty_port::change::closed:
            log_.note("port closed");
            break;
        case pty_port::change::session_ended:
            end_session();
            break;
        }
    }
}

void sim_server::end_session()
{
    // Everything written so far was meant for the host that has gone. A reply that comes after
    // the host has gone lands in the port's buffer and is lost there, as on a real port that is
    // reopened later; when a new host has already opened the port, it is not written at all.
    for (const auto& late : late_) {
        if (port_.host_present()) {
            log_.note("dropped " + std::to_string(late.size()) + " bytes: the host has closed the port");
        } else {
            log_.sent(late);
            port_.write_some(late);
        }
    }
    late_.clear();
    port_.forget_host();
    log_.note("unread bytes discarded");
}

void sim_server::read_requests()
{
    // A host that closes the port and opens it again at once may have written its next request
    // before the close and open are seen here. Its requests are therefore answered only once
    // every open and close that came before them has been followed: otherwise the reply to the
    // new host would be taken for one to the host that has gone, and dropped.
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(port_.master_fd(), buffer, sizeof buffer);
        if (got > 0) {
            bytes.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        break;  // EAGAIN, or EIO while no slave is open (cannot happen: we keep one)
    }
    follow_port();
    take_bytes(bytes);
}

void sim_server::take_bytes(std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto end = bytes.find(contract::line_feed);
        const std::string_view piece = bytes.substr(0, end == std::string_view::npos ? bytes.size() : end + 1);
        bytes.remove_prefix(piece.size());
        if (skipping_long_line_) {
            skipping_long_line_ = end == std::string_view::npos;
            continue;
        }
        line_.append(piece);
        if (end != std::string_view::npos) {
            const std::string line = std::move(line_);
            line_.clear();
            handle_line(line);
        } else if (line_.size() > longest_request) {
            log_.received(line_.substr(0, 64));
            log_.note("request longer than " + std::to_string(longest_request) + " bytes, rest skipped");
            line_.clear();
            skipping_long_line_ = true;
            ++requests_;
            enqueue(plan_reply({}, {make_json_error(json_request_too_long, "request too long", longest_request)},
                               nullptr, settings_.line_end));
        }
    }
}

void sim_server::handle_line(std::string_view line)
{
    log_.received(line);
    std::string_view body = line;
    body.remove_suffix(1);  // the LF
    if (blank_request_line(body)) {
        return;
    }
    ++requests_;
    answered_line answer = answer_request_line(body, requests_, model_, rules_, settings_.line_end);
    if (answer.rule != nullptr) {
        log_.note("fault " + answer.rule->text);
    }
    enqueue(std::move(answer.plan));
}

void sim_server::enqueue(reply_plan plan)
{
    if (plan.late) {
        std::string bytes;
        for (const auto& step : plan.steps) {
            bytes += step.bytes;
        }
        late_.push_back(std::move(bytes));
        return;
    }
    // Replies leave in the order of their requests: a delayed reply holds up later ones.
    auto at = std::max(clock::now(), tail_);
    for (auto& step : plan.steps) {
        at += step.pause;
        queue_.push_back({at, std::move(step.bytes), step.hang_up, port_.session(), 0});
    }
    tail_ = at;
}

bool sim_server::write_due()
{
    while (!queue_.empty() && !waiting_for_room_ && queue_.front().due <= clock::now()) {
        follow_port();
        auto& head = queue_.front();
        if (!port_.host_present() || head.session != port_.session()) {
            if (!head.bytes.empty()) {
                log_.note("dropped " + std::to_string(head.bytes.size() - head.written)
                          + " bytes: the host has closed the port");
            }
        } else if (head.written < head.bytes.size()) {
            if (head.written == 0) {
                log_.sent(head.bytes);
            }
            const long written = port_.write_some(std::string_view(head.bytes).substr(head.written));
            if (written < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    waiting_for_room_ = true;
                    return true;
                }
                log_.note(std::string("write failed: ") + std::strerror(errno));
                head.written = head.bytes.size();
            } else {
                head.written += static_cast<std::size_t>(written);
                if (head.written < head.bytes.size()) {
                    continue;
                }
            }
        }
        if (head.hang_up) {
            log_.note("hang-up");
            port_.hang_up();
            queue_.pop_front();
            return false;
        }
        queue_.pop_front();
    }
    return true;
}

}  // namespace vistrel::sim
