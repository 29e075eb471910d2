#include "console/cli/edid_file.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <streambuf>
#include <system_error>

namespace vistrel {
namespace {

// Drops what a failed write left behind. Only regular files are touched: a device such as
// /dev/full, a pipe or a folder stays as it is. Through a symbolic link the target file is
// emptied instead of unlinking the link.
void discard_partial_file(const std::string& name)
{
    namespace fs = std::filesystem;
    std::error_code ignored;
    if (fs::is_regular_file(fs::symlink_status(name, ignored))) {
        fs::remove(name, ignored);
    } else if (fs::is_regular_file(fs::status(name, ignored))) {
        fs::resize_file(name, 0, ignored);
    }
}

}  // namespace

void read_edid_file(const std::string& name, profile& record)
{
    std::ifstream file;
    file.exceptions(std::ios_base::failbit | std::ios_base::badbit);
    file.open(name, std::ios_base::in | std::ios_base::binary);
    edid_bytes bytes{};
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    record.edid = bytes;
    record.edid_size = bytes.size();
}

void write_edid_file(const std::string& name, const profile& record)
{
    std::ofstream file(name, std::ios_base::out | std::ios_base::trunc | std::ios_base::binary);
    if (!file.is_open()) {
        throw std::runtime_error("Cannot open file " + name + " for writing.");
    }
    const auto size = std::min<std::uint64_t>(record.edid_size, record.edid.size());
    file.write(reinterpret_cast<const char*>(record.edid.data()), static_cast<std::streamsize>(size));
    file.close();  // flushes: a full disk shows up here at the latest
    if (file.fail()) {
        discard_partial_file(name);
        throw std::runtime_error("Cannot write file " + name + ".");
    }
}

}  // namespace vistrel
