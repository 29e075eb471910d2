#include "console/events/parse_nested.hpp"

namespace vistrel {

int parse_nested(const char* text, std::size_t length, parse_data_base& target)
{
    int result = MINIJSON_OK;
    if (length != 0) {
        const minijson_parser_t request{
            report_value, &target, static_cast<std::size_t>(target.depth), MINIJSON_PARSE_LINE, nullptr};
        std::size_t parsed = length;
        result = minijson_parse(text, &parsed, &request);
    }
    target.finish();
    return result;
}

}  // namespace vistrel
