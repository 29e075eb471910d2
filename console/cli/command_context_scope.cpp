#include "console/cli/command_context_scope.hpp"

#include <cstdlib>
#include <string_view>

namespace vistrel {
namespace {

bool trace_requested()
{
    const char* value = std::getenv("VISTREL_TRACE");
    return value != nullptr && std::string_view(value) == "1";
}

}  // namespace

command_context_scope::command_context_scope()
{
    if (current_command_context == nullptr) {
        context_.trace = trace_requested();
        current_command_context = &context_;
        owns_ = true;
    }
}

command_context_scope::~command_context_scope()
{
    if (owns_) {
        current_command_context = nullptr;
    }
}

}  // namespace vistrel
