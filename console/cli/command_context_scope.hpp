// Makes a fresh command_context current for as long as it lives, unless one already is.
#pragma once

#include "console/events/command_context.hpp"

namespace vistrel {

class command_context_scope {
public:
    // When no context is current, a new one with the defaults becomes current; its trace is
    // on when the environment holds VISTREL_TRACE=1.
    command_context_scope();
    command_context_scope(const command_context_scope&) = delete;
    command_context_scope& operator=(const command_context_scope&) = delete;
    // Drops the context again if this scope created it.
    ~command_context_scope();

private:
    command_context context_;
    bool owns_ = false;
};

}  // namespace vistrel
