#include "console/cli/parse_profile_number.hpp"

#include <limits>
#include <stdexcept>
#include <string>

namespace vistrel {
namespace {

profile_id_t read_profile_number(const char* word)
{
    int value = 0;
    try {
        value = std::stoi(word);
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("invalid stoi argument");
    } catch (const std::out_of_range&) {
        throw std::out_of_range("stoi argument out of range");
    }
    if (value < 0 || value > std::numeric_limits<profile_id_t>::max()) {
        throw std::out_of_range("profile id");
    }
    return static_cast<profile_id_t>(value);
}

}  // namespace

bool parse_profile_number(arg_cursor& cursor, arg_vector args, std::vector<profile_id_t>& numbers)
{
    if (cursor >= 0) {
        return false;
    }
    try {
        numbers.push_back(read_profile_number(args[cursor]));
    } catch (const std::logic_error&) {
        if (numbers.empty()) {
            throw;
        }
        return false;
    }
    ++cursor;
    return true;
}

}  // namespace vistrel
