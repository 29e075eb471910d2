#include "tools/sim/messages.hpp"

namespace vistrel::sim {

json make_message(category value, std::string_view case_name, json sort, json data)
{
    json message = json::object();
    message["category"] = category_text(value);
    message["case"] = case_name;
    message["sort"] = std::move(sort);
    if (!data.is_null()) {
        message["data"] = std::move(data);
    }
    return message;
}

json make_error(category value, int number, std::string_view message, json data)
{
    json sort = json::object();
    sort["number"] = number;
    sort["message"] = message;
    return make_message(value, case_error, std::move(sort), std::move(data));
}

json make_json_error(int number, std::string_view message, std::size_t position)
{
    json data = json::object();
    data["position"] = position;
    return make_error(category::json_category, number, message, std::move(data));
}

std::string compact_text(const json& message)
{
    return message.dump(-1, ' ', false, nlohmann::detail::error_handler_t::replace);
}

}  // namespace vistrel::sim
