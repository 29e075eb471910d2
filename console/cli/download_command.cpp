#include "console/cli/command_handlers.hpp"

#include <stdexcept>

namespace vistrel {

void run_download(arg_cursor& /*cursor*/, arg_vector /*args*/)
{
    throw std::runtime_error("not implemented");
}

}  // namespace vistrel
