// The check that a reply carries the sort an event reads.
#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// Throws std::runtime_error "unrecognized type [<text>]" unless `text` is exactly `sort_name`.
void require_sort_text(const std::string& text, std::string_view sort_name);

template <class Event>
void require_sort(const Event& event, std::string_view sort_name)
{
    require_sort_text(event.text, sort_name);
}

}  // namespace vistrel
