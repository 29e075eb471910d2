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

// Reads a text once more only to find the byte where reading stops, for the failure that
// json::parse reports without one: a number beyond the range of a double.
class failure_locator final : public nlohmann::json_sax<json> {
public:
    std::size_t position = 0;  // counted from 1, as the parser counts

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t at, const std::string&, const json::exception&) override
    {
        position = at;
        return false;
    }
};

void refuse(device_request& request, const char* message, std::size_t byte)
{
    request.error_code = json_syntax_error;
    request.error_message = message;
    // The parser counts bytes from 1; the reported position counts from 0.
    request.error_position = byte > 0 ? byte - 1 : 0;
}

}  // namespace

device_request read_request(std::string_view line)
{
    device_request request;
    try {
        request.body = json::parse(line.begin(), line.end());
    } catch (const json::parse_error& error) {
        refuse(request, "syntax error", error.byte);
        return request;
    } catch (const json::out_of_range&) {
        failure_locator locator;
        json::sax_parse(line.begin(), line.end(), &locator);
        refuse(request, "number out of range", locator.position);
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
