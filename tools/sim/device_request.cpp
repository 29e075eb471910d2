#include "tools/sim/device_request.hpp"

namespace vistrel::sim {
namespace {

std::string string_member(const json& body, const char* key)
{
    const auto member = body.find(key);
    if (member == body.end() || !member->is_string()) {
        return {};
    }
    return member->get<std::string>();
}

}  // namespace

device_request read_request(std::string_view line)
{
    device_request request;
    try {
        request.body = json::parse(line.begin(), line.end());
    } catch (const json::parse_error& error) {
        request.error_code = json_syntax_error;
        request.error_message = "syntax error";
        // The parser counts bytes from 1; the reported position counts from 0.
        request.error_position = error.byte > 0 ? error.byte - 1 : 0;
        return request;
    }
    if (!request.body.is_object()) {
        request.error_code = json_not_an_object;
        request.error_message = "request is not an object";
        return request;
    }
    request.category_name = string_member(request.body, "category");
    request.case_name = string_member(request.body, "case");
    request.sort = string_member(request.body, "sort");
    for (const auto value : {category::system, category::hid, category::can, category::user_profiles}) {
        if (request.category_name == category_text(value)) {
            request.category = value;
        }
    }
    if (!request.category) {
        request.error_code = json_unknown_category;
        request.error_message = "unknown category";
        return request;
    }
    request.readable = true;
    return request;
}

}  // namespace vistrel::sim
