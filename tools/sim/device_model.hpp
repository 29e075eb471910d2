// What the simulated device answers to each request, and the state it keeps between requests.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "tools/sim/device_request.hpp"
#include "tools/sim/messages.hpp"
#include "tools/sim/profile_store.hpp"
#include "tools/sim/signal_store.hpp"

namespace vistrel::sim {

struct item_version {
    unsigned major = 0;
    unsigned minor = 0;
    std::string note;
};

struct device_identity {
    item_version hardware{1, 3, "B"};
    item_version firmware{2, 7, ""};
    item_version json_schema{1, 1, ""};
    std::string schema_url = "https://vistrel.example/schema/device-1.1.json";
};

// Error numbers of the system, HID and user-profile categories (second byte: the category).
inline constexpr int unknown_request_code = 0x01;
inline constexpr int invalid_data_code = 0x02;
inline constexpr int no_such_slot_code = 0x03;
inline constexpr int invalid_edid_code = 0x04;

class device_model {
public:
    explicit device_model(device_identity identity = {}, profile_store profiles = {});

    // The replies to one request, in the order they are sent; empty when the device stays silent.
    // Signals listed as unavailable answer with the CAN error 0x0315.
    std::vector<json> answer(const device_request& request, const std::set<int>& unavailable_signals = {});

    profile_store& profiles() { return profiles_; }
    signal_store& signals() { return signals_; }

private:
    std::vector<json> answer_system(const device_request& request);
    std::vector<json> answer_profiles(const device_request& request);
    std::vector<json> answer_can(const device_request& request, const std::set<int>& unavailable);

    device_identity identity_;
    profile_store profiles_;
    signal_store signals_;
};

}  // namespace vistrel::sim
