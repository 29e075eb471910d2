#include "tools/sim/profile_store.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tools/sim/edid_builder.hpp"

namespace vistrel::sim {

profile_store::profile_store()
{
    const auto& panels = default_panels();
    for (std::size_t slot = 0; slot < defaults_.size(); ++slot) {
        const edid_block edid = build_edid(panels[slot]);
        defaults_[slot].assign(edid.begin(), edid.end());
    }
    slots_ = defaults_;
}

void profile_store::load_defaults(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw std::runtime_error("profile folder [" + folder.string() + "] is not a readable folder");
    }
    for (std::size_t slot = 0; slot < defaults_.size(); ++slot) {
        const auto path = folder / ("slot" + std::to_string(slot) + ".bin");
        if (!std::filesystem::exists(path, error)) {
            continue;
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            throw std::runtime_error("cannot read profile file [" + path.string() + "]");
        }
        edid_bytes bytes;
        char c;
        while (bytes.size() <= contract::edid_size && file.get(c)) {
            bytes.push_back(static_cast<std::uint8_t>(c));
        }
        if (file.bad()) {
            throw std::runtime_error("cannot read profile file [" + path.string() + "]");
        }
        if (bytes.empty() || bytes.size() > contract::edid_size) {
            throw std::runtime_error("profile file [" + path.string() + "] must hold 1 to 256 bytes");
        }
        defaults_[slot] = std::move(bytes);
    }
    slots_ = defaults_;
}

}  // namespace vistrel::sim
