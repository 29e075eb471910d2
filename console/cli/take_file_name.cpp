#include "console/cli/take_file_name.hpp"

#include <stdexcept>

namespace vistrel {

std::string take_file_name(arg_cursor& cursor, arg_vector args, const std::string& missing_text)
{
    if (cursor >= 0) {
        throw std::runtime_error(missing_text);
    }
    std::string name = args[cursor];
    ++cursor;
    return name;
}

std::string missing_file_name_for(unsigned number)
{
    return "missing file name for profile " + std::to_string(number);
}

}  // namespace vistrel
