// The device's reply to the system information request, and the record it fills: the
// versions of hardware, firmware and JSON schema, and the address of the schema.
#pragma once

#include <cstdint>
#include <string>

#include "console/events/basic_json_event.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/parse_glue.hpp"

namespace vistrel {

// The version of one item of the device's system information.
struct item_version {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::string note;
};

// "major.minor", followed by "." and the note when there is one.
std::string to_string(const item_version& version);

// The device's versions and the address of its JSON schema.
struct system_information {
    item_version hardware;
    item_version firmware;
    item_version json_schema;
    std::string schema_url;
};

// Parse target for one "version" object of the system information.
class json_data_version : public basic_json_data {
public:
    json_data_version();
    // A copy takes the version being read with it and stores into its own fields.
    json_data_version(const json_data_version& other);
    json_data_version& operator=(const json_data_version& other);
    ~json_data_version() override = default;

    // Hands the version read so far to `target` and starts over, unless it is still 0.0
    // (which counts as not received). Returns whether it was handed over.
    bool present(item_version& target);

    // The version being read; members that a version object lacks keep their value.
    item_version pending;
};

class json_event_sysinfo : public basic_json_event<category_code::system, case_code::update, case_code::state>,
                           public system_information {
public:
    // Converts a reply of category system with sort "information". An error reply is
    // thrown as a copy of the event; see basic_json_event for the other failures.
    explicit json_event_sysinfo(const json_event_base& envelope);
    // The copy's reader fills the copy's own record.
    json_event_sysinfo(const json_event_sysinfo& other);
    ~json_event_sysinfo() override = default;

    parse_data_base& get_normal_data() override;
    parse_data_base& get_error_data() override { return items; }

private:
    // Reads the members of one item object of the data array and assigns its version to
    // the item it names as soon as name and version (and for the schema the URL) are
    // there. Nothing of one item object carries over to the next.
    class item_reader : public basic_json_data {
    public:
        explicit item_reader(system_information& record);
        item_reader(system_information& record, const item_reader& other);
        void try_accept() override;
        void start_item() override;

        std::string item;
        json_data_version version;
        std::string url;

    private:
        system_information& record;
    };

    item_reader internal;
    item_list items{internal};
};

}  // namespace vistrel
