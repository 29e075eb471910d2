// The device's serial port: a raw pseudo-terminal whose slave side the host opens.
//
// The simulator keeps a descriptor of the slave open for its whole life, so the master never
// sees a hang-up while hosts open and close the port. Opens and closes of the slave by hosts
// are followed with inotify on the slave's path; each stretch during which a host has the
// port open is a session. Bytes meant for a session that has ended are not delivered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::sim {

class pty_port {
public:
    // Creates the pseudo-terminal in raw mode; throws std::system_error when it cannot.
    pty_port();
    pty_port(const pty_port&) = delete;
    pty_port& operator=(const pty_port&) = delete;
    ~pty_port();

    const std::string& slave_path() const { return slave_path_; }
    int master_fd() const { return master_fd_; }
    // Readable when hosts have opened or closed the port; -1 when opens cannot be followed.
    int watch_fd() const { return watch_fd_; }

    enum class change { opened, closed, session_ended };
    // Takes in the open and close events that have arrived so far (never blocks), in order;
    // session_ended follows the close of the last host.
    std::vector<change> refresh();

    // A host has the port open (always true when opens cannot be followed).
    bool host_present() const { return watch_fd_ < 0 || hosts_ > 0; }
    // Counts up each time a host opens the port while no other host has it open.
    std::uint64_t session() const { return session_; }

    // After the last host has gone: drops the bytes it has not read and clears exclusive use.
    void forget_host();

    // Writes as much as the master takes now; returns the count, or -1 with errno set.
    long write_some(std::string_view bytes);

    // Closes the master: every host descriptor of the slave is hung up.
    void hang_up();

private:
    int master_fd_ = -1;
    int kept_slave_fd_ = -1;
    int watch_fd_ = -1;
    std::string slave_path_;
    unsigned hosts_ = 0;
    std::uint64_t session_ = 0;
};

}  // namespace vistrel::sim
