// The device's reply to the profile download request: the profiles it sent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/events/basic_json_event.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/parse_glue.hpp"
#include "console/events/profile.hpp"

namespace vistrel {

class json_event_profiles : public basic_json_event<category_code::user_profiles, case_code::update, case_code::state> {
public:
    static constexpr std::uint32_t no_slot = 255;  // slots of this number and above are never taken

    // Converts a reply of category user profiles with sort "download". An error reply is
    // thrown as a copy of the event; see basic_json_event for the other failures.
    explicit json_event_profiles(const json_event_base& envelope);
    // The copy's reader appends to the copy's own list.
    json_event_profiles(const json_event_profiles& other);
    ~json_event_profiles() override = default;

    // An answer of this category to a request that expects none (upload, reset): carries the
    // answer's case and sort as they came, whatever the case; its data is not read.
    static json_event_profiles unrequested_answer(const json_event_base& envelope);

    parse_data_base& get_normal_data() override;
    parse_data_base& get_error_data() override { return items; }

    // In the order of the reply.
    std::vector<profile> profiles;

private:
    json_event_profiles(const json_event_base& envelope, as_received_t tag);

    // Reads the members of one item object of the data array and appends a profile as
    // soon as its slot number and its decodable EDID text have arrived, in either order.
    // A number or a text never pairs with one of another item.
    class profile_reader : public basic_json_data {
    public:
        explicit profile_reader(std::vector<profile>& list);
        profile_reader(std::vector<profile>& list, const profile_reader& other);
        void try_accept() override;
        void start_item() override;
        // Decodes the pending EDID text; true when a profile was appended.
        bool present();

        std::uint32_t pending_profile = no_slot;
        std::string pending_edid;  // Base64

    private:
        std::vector<profile>& profiles;
    };

    profile_reader internal;
    item_list items{internal};
};

}  // namespace vistrel
