#include "tools/sim/sim_log.hpp"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace vistrel::sim {

std::string escape_bytes(std::string_view bytes)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
        case '\\':
            text += "\\\\";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        default:
            if (byte >= 0x20 && byte <= 0x7E) {
                text += c;
            } else {
                text += "\\x";
                text += hex[byte >> 4];
                text += hex[byte & 0x0F];
            }
        }
    }
    return text;
}

sim_log::sim_log(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot open log file [" + path + "]");
    }
}

sim_log::~sim_log()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void sim_log::record(std::string_view prefix, std::string_view text)
{
    if (fd_ < 0) {
        return;
    }
    // One write per record, so that a reader never sees half a line of a finished record.
    std::string line;
    line.reserve(prefix.size() + text.size() + 1);
    line.append(prefix).append(text).push_back('\n');
    std::string_view rest = line;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd_, rest.data(), rest.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // a full disk must not stop the device
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace vistrel::sim
