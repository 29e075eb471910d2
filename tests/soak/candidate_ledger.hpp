// What the device must hold, key by key (profile slots, signals), as far as the host can
// know it. A write that succeeded settles the key; a write that failed may or may not have
// been carried out, so its value joins the candidates; a read shows which candidate it was.
// A value read that is no candidate is an altered value.
#pragma once

#include <algorithm>
#include <map>
#include <vector>

namespace vistrel::soak {

template <typename Value>
class candidate_ledger {
public:
    void settle(int key, Value value) { candidates_[key] = {std::move(value)}; }

    void maybe(int key, Value value)
    {
        auto& values = candidates_[key];
        if (std::find(values.begin(), values.end(), value) == values.end()) {
            values.push_back(std::move(value));
        }
    }

    // Whether `value` may be what the device holds.
    bool holds(int key, const Value& value) const
    {
        const auto found = candidates_.find(key);
        return found != candidates_.end()
            && std::find(found->second.begin(), found->second.end(), value) != found->second.end();
    }

    // The candidates, oldest first; empty for a key never written.
    const std::vector<Value>& candidates(int key) const
    {
        static const std::vector<Value> none;
        const auto found = candidates_.find(key);
        return found == candidates_.end() ? none : found->second;
    }

    // Keys with more than one candidate.
    std::size_t open_keys() const
    {
        return static_cast<std::size_t>(std::count_if(candidates_.begin(), candidates_.end(),
                                                      [](const auto& entry) { return entry.second.size() > 1; }));
    }

private:
    std::map<int, std::vector<Value>> candidates_;
};

}  // namespace vistrel::soak
