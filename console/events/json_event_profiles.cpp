#include "console/events/json_event_profiles.hpp"

#include <algorithm>
#include <cstddef>

#include "codec/minijson_text.h"

namespace vistrel {

namespace {

constexpr int base64_complete = 0;
constexpr int base64_padding_missing = -2;

}  // namespace

json_event_profiles::profile_reader::profile_reader(std::vector<profile>& list)
    : basic_json_data(1,
                      {
                          {"profile", key_handler{value_type::integer, &pending_profile, store_integer}},
                          {"edid", key_handler{value_type::string, &pending_edid, store_string}},
                      }),
      profiles(list)
{
}

json_event_profiles::profile_reader::profile_reader(std::vector<profile>& list, const profile_reader& other)
    : profile_reader(list)
{
    pending_profile = other.pending_profile;
    pending_edid = other.pending_edid;
}

void json_event_profiles::profile_reader::try_accept()
{
    if (pending_profile < no_slot) {
        present();
    }
}

void json_event_profiles::profile_reader::start_item()
{
    pending_profile = no_slot;
    pending_edid.clear();
}

bool json_event_profiles::profile_reader::present()
{
    if (pending_edid.empty()) {
        return false;
    }
    // Room for three bytes per four characters, and for a final partial group.
    std::vector<unsigned char> decoded(pending_edid.size() / 4 * 3 + 3);
    std::size_t decoded_count = 0;
    std::size_t text_length = pending_edid.size();
    const int result = minijson_base64_decode(decoded.data(), &decoded_count, pending_edid.data(), &text_length);
    pending_edid.clear();
    // A text that is not Base64, or that holds more than a profile's EDID, is dropped;
    // the slot number stays pending for another text of the same item.
    if ((result != base64_complete && result != base64_padding_missing) || decoded_count > contract::edid_size) {
        return false;
    }
    profile record;
    record.id = static_cast<std::uint8_t>(pending_profile);
    std::copy_n(decoded.begin(), decoded_count, record.edid.begin());
    record.edid_size = decoded_count;
    profiles.push_back(record);
    pending_profile = no_slot;
    return true;
}

json_event_profiles::json_event_profiles(const json_event_base& envelope)
    : basic_json_event(envelope), internal(profiles)
{
    fill(envelope);
    if (event_case == case_code::error) {
        throw json_event_profiles(*this);
    }
}

json_event_profiles::json_event_profiles(const json_event_base& envelope, as_received_t tag)
    : basic_json_event(envelope, tag), internal(profiles)
{
}

json_event_profiles json_event_profiles::unrequested_answer(const json_event_base& envelope)
{
    return json_event_profiles(envelope, as_received_t{});
}

json_event_profiles::json_event_profiles(const json_event_profiles& other)
    : basic_json_event(other), profiles(other.profiles), internal(profiles, other.internal)
{
}

parse_data_base& json_event_profiles::get_normal_data()
{
    require_sort(*this, "download");
    return items;
}

}  // namespace vistrel
