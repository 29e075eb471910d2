// The device's eight user profile slots, each holding an EDID of up to 256 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "contract/device_contract.hpp"

namespace vistrel::sim {

class profile_store {
public:
    using edid_bytes = std::vector<std::uint8_t>;
    static constexpr int slot_count = contract::profile_slot_count;

    // Every slot holds its built-in default.
    profile_store();

    // Replaces the defaults (and the slots) by the files "slot0.bin" to "slot7.bin" of a folder;
    // slots without a file keep the built-in default. Throws std::runtime_error for a folder that
    // cannot be read and for a file that is empty or longer than 256 bytes.
    void load_defaults(const std::filesystem::path& folder);

    static bool has_slot(long long slot) { return slot >= 0 && slot < slot_count; }
    const edid_bytes& slot(int slot) const { return slots_.at(static_cast<std::size_t>(slot)); }
    void store(int slot, edid_bytes edid) { slots_.at(static_cast<std::size_t>(slot)) = std::move(edid); }
    void reset(int slot) { slots_.at(static_cast<std::size_t>(slot)) = defaults_.at(static_cast<std::size_t>(slot)); }

private:
    std::array<edid_bytes, slot_count> defaults_;
    std::array<edid_bytes, slot_count> slots_;
};

}  // namespace vistrel::sim
