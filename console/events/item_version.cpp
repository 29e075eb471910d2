#include "console/events/item_version.hpp"

namespace vistrel {

std::string to_string(const item_version& version)
{
    std::string text = std::to_string(version.major) + "." + std::to_string(version.minor);
    if (!version.note.empty()) {
        text += ".";
        text += version.note;
    }
    return text;
}

}  // namespace vistrel
