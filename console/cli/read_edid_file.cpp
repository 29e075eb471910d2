#include "console/cli/read_edid_file.hpp"

#include <fstream>
#include <streambuf>

namespace vistrel {

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

}  // namespace vistrel
