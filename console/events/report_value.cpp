#include "console/events/parse_data_base.hpp"

namespace vistrel {

int report_value(int kind, minijson_parse_data_t* data)
{
    return static_cast<parse_data_base*>(data)->on_value(kind);
}

}  // namespace vistrel
