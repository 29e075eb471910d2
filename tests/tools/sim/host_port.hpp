// The host's side of the simulator's port, with plain POSIX calls: open, write, bounded reads.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::sim_test {

class host_port {
public:
    // Opens the port read-write and sets it raw, as the host programs do.
    explicit host_port(const std::string& path);
    host_port(const host_port&) = delete;
    host_port& operator=(const host_port&) = delete;
    ~host_port();

    void write(std::string_view bytes);
    // Writes the request and its LF.
    void send(std::string_view request) { write(std::string(request) + "\n"); }

    // Reads until `count` LFs have arrived or the bound runs out; returns what arrived.
    std::string read_lines(std::size_t count, std::chrono::milliseconds bound);
    // Everything that arrives within the window, as the pieces the reads returned.
    std::vector<std::string> read_pieces(std::chrono::milliseconds window);
    std::string read_all(std::chrono::milliseconds window);

    struct read_failure {
        bool failed = false;  // read returned an error or end of file
        int error = 0;  // errno of the error, 0 for end of file
        std::string received;  // what arrived before
    };
    // Reads until a read fails or the bound runs out.
    read_failure read_until_failure(std::chrono::milliseconds bound);

    // Waits until something can be read; the moment it could, or nothing when the bound ran out.
    std::optional<std::chrono::steady_clock::time_point> wait_readable(std::chrono::milliseconds bound);

    void close();

private:
    int fd_ = -1;
};

}  // namespace vistrel::sim_test
