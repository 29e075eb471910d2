// The simulator's record of the conversation, one line per event, written as it happens:
//   "rx " + the bytes of one request line, its LF included
//   "tx " + the bytes of one write towards the host
//   "-- " + a note (host opened or closed the port, bytes dropped, fault applied)
// Bytes are escaped so that every record stays on one line: backslash as "\\", LF as "\n",
// CR as "\r", tab as "\t", other bytes outside 0x20 to 0x7E as "\xHH" (two hex digits).
#pragma once

#include <string>
#include <string_view>

namespace vistrel::sim {

std::string escape_bytes(std::string_view bytes);

class sim_log {
public:
    sim_log() = default;  // records nothing
    // Creates (or truncates) the file; throws std::system_error when it cannot.
    explicit sim_log(const std::string& path);
    sim_log(const sim_log&) = delete;
    sim_log& operator=(const sim_log&) = delete;
    ~sim_log();

    void received(std::string_view bytes) { record("rx ", escape_bytes(bytes)); }
    void sent(std::string_view bytes) { record("tx ", escape_bytes(bytes)); }
    void note(std::string_view text) { record("-- ", text); }

private:
    void record(std::string_view prefix, std::string_view text);
    int fd_ = -1;
};

}  // namespace vistrel::sim
