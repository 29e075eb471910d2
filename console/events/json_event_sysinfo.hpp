// The device's reply to the system information request.
#pragma once

#include <string>

#include "console/events/basic_json_data.hpp"
#include "console/events/basic_json_event.hpp"
#include "console/events/json_data_version.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/system_information.hpp"

namespace vistrel {

class json_event_sysinfo
    : public basic_json_event<category_code::system, case_code::update, case_code::state>,
      public system_information {
public:
    // Converts a reply of category system with sort "information". An error reply is
    // thrown as a copy of the event; see basic_json_event for the other failures.
    explicit json_event_sysinfo(const json_event_base& envelope);
    // The copy's reader fills the copy's own record.
    json_event_sysinfo(const json_event_sysinfo& other);
    ~json_event_sysinfo() override = default;

    parse_data_base& get_normal_data() override;
    parse_data_base& get_error_data() override { return internal; }

private:
    // Reads the members of the item objects of the data array and assigns each version
    // to its item as soon as name and version (and for the schema the URL) are there.
    class item_reader : public basic_json_data {
    public:
        explicit item_reader(system_information& record);
        item_reader(system_information& record, const item_reader& other);
        void try_accept() override;

        std::string item;
        json_data_version version;
        std::string url;

    private:
        system_information& record;
    };

    item_reader internal;
};

}  // namespace vistrel
