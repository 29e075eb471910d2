#include "console/cli/program_name.hpp"

#include <filesystem>
#include <iomanip>
#include <sstream>

namespace vistrel {

std::string program_stem(std::string_view argv0)
{
    return std::filesystem::path(argv0).stem().string();
}

std::string quoted_program_name(std::string_view name)
{
    std::ostringstream text;
    text << std::quoted(name);
    return text.str();
}

}  // namespace vistrel
