#include "console/link/trace.hpp"

namespace vistrel {

void print_trace(std::ostream& out, std::string_view label, const unsigned char* bytes,
                 std::size_t count)
{
    out << label << '<';
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    out << '>' << std::endl;
}

}  // namespace vistrel
