#include "console/cli/match_option.hpp"

#include "console/cli/command_context_scope.hpp"

#include <string_view>

namespace vistrel {

bool match_option(const option_map& level, arg_cursor& cursor, arg_vector args)
{
    if (cursor >= 0) {
        return false;
    }
    const std::string_view word(args[cursor]);
    const auto equals = word.find('=');
    const auto entry = level.entries.find(word.substr(0, equals));
    if (entry == level.entries.end()) {
        return false;
    }
    if (equals != std::string_view::npos) {
        args[cursor] += equals + 1;
    } else {
        ++cursor;
    }

    const command_context_scope context;
    const option_desc& option = entry->second;
    while (match_option(*option.nested, cursor, args)) {
    }
    option.handler(cursor, args);
    return cursor != 0;
}

}  // namespace vistrel
