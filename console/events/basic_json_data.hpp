// A parse target that stores the members of an object into typed fields through a table
// of keys.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string_view>
#include <utility>

#include "console/events/key_handler.hpp"
#include "console/events/parse_data_base.hpp"

namespace vistrel {

// Keys are views of string literals.
using key_table_t = std::map<std::string_view, key_handler>;

class basic_json_data : public parse_data_base {
public:
    // The handlers point into the object that owns the table; a copy would write into the
    // original, so targets are never copied. A derived target that has to be copyable
    // builds its own table again.
    explicit basic_json_data(std::uint64_t report_depth = 1) : parse_data_base(report_depth) {}
    basic_json_data(std::uint64_t report_depth, std::initializer_list<std::pair<const std::string_view, key_handler>> keys)
        : parse_data_base(report_depth), key_table(keys)
    {
    }
    basic_json_data(const basic_json_data&) = delete;
    basic_json_data& operator=(const basic_json_data&) = delete;

    // Kind 1 (no key) looks up "__"; kind 2 looks up the decoded key. Returns 0 or throws.
    int on_value(int kind) override;
    void finish() override {}
    ~basic_json_data() override = default;

    // Finds the handler (std::out_of_range "invalid map<K, T> key" when absent), checks the
    // type, stores the value, then calls try_accept().
    virtual void on_key(std::string_view key);

    // Called after every stored value.
    virtual void try_accept() {}

    key_table_t key_table;
};

}  // namespace vistrel
