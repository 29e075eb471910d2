// Between the streaming parser and typed fields: the parse targets the parser reports
// into, the key-table target with its store functions, the names of the parser's value
// types, and the parse of a raw JSON value kept from an earlier parse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codec/minijson_parser.h"

namespace vistrel {

// The parser's value type codes.
namespace value_type {
inline constexpr std::uint32_t object = 1;
inline constexpr std::uint32_t array = 2;
inline constexpr std::uint32_t string = 4;
inline constexpr std::uint32_t integer = 8;
inline constexpr std::uint32_t real = 16;
inline constexpr std::uint32_t literal = 32;  // true, false and null
}  // namespace value_type

// "object", "array", ... or "unrecognized - " and the code as a signed number.
std::string value_type_name(std::uint32_t type);

// Throws std::runtime_error "Wrong value type [<type>] for key [<key>]."; `type` is the
// type the key requires. An empty key leaves out the key part.
[[noreturn]] void wrong_value_type(std::uint32_t type, std::string_view key);

// The decoded bytes of `length` bytes of raw string text; malformed escapes become 0xFF.
// The raw text is left as it is, so a buffer that is parsed again reads the same.
std::string decode_string_text(const char* raw, std::size_t length);

// A parse target: the parser fills the record it derives from in place, and the glue
// forwards every reported value to the target's on_value.
class parse_data_base : public minijson_parse_data_t {
public:
    // The nesting level whose values the parser reports for this target: 1 for the members
    // of the outermost object, 2 for the members of the objects inside it.
    std::uint64_t depth = 1;

    virtual int on_value(int kind) = 0;
    virtual void finish() {}
    virtual ~parse_data_base() = default;

protected:
    explicit parse_data_base(std::uint64_t report_depth = 1) : minijson_parse_data_t{}, depth(report_depth) {}
    parse_data_base(const parse_data_base&) = default;
    parse_data_base(parse_data_base&&) = default;
    parse_data_base& operator=(const parse_data_base&) = default;
    parse_data_base& operator=(parse_data_base&&) = default;
};

// The parser callback for every parse target: `data` is the record of a parse_data_base.
int report_value(int kind, minijson_parse_data_t* data);

// Parses `length` bytes at `text` from a fresh state in line mode, reporting into `target`
// at its depth; then runs target.finish(), also after a failure. Returns the parser's
// result: 0 when complete, its negative code otherwise. An empty text is complete.
int parse_nested(const char* text, std::size_t length, parse_data_base& target);

inline int parse_nested(const std::vector<std::uint8_t>& text, parse_data_base& target)
{
    return parse_nested(reinterpret_cast<const char*>(text.data()), text.size(), target);
}

inline int parse_nested(std::string_view text, parse_data_base& target)
{
    return parse_nested(text.data(), text.size(), target);
}

// The reported value: value word, raw length and decoded length or element count.
struct value_view {
    minijson_parse_value_t value;
    std::size_t length;
    std::size_t count;
};

using store_function = void (*)(void* target, const value_view& value);

// How one key of a key table is stored: the type it requires, the field it fills and the
// function that fills it.
struct key_handler {
    std::uint32_t expected_type;
    void* target;
    store_function store;
};

// Integer into a 32-bit field (std::int32_t or std::uint32_t); wider values keep their low half.
void store_integer(void* target, const value_view& value);

// String, decoded, into a std::string field.
void store_string(void* target, const value_view& value);

// Object, parsed with the parse_data_base that the target points to; the parse result is
// not looked at.
void store_nested(void* target, const value_view& value);

// Keys are views of string literals.
using key_table_t = std::map<std::string_view, key_handler>;

// A parse target that stores the members of an object into typed fields through a table
// of keys.
class basic_json_data : public parse_data_base {
public:
    // The handlers point into the object that owns the table; a copy would write into the
    // original, so targets are never copied. A derived target that has to be copyable
    // builds its own table again.
    explicit basic_json_data(std::uint64_t report_depth = 1) : parse_data_base(report_depth) {}
    basic_json_data(std::uint64_t report_depth,
                    std::initializer_list<std::pair<const std::string_view, key_handler>> keys)
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

    // Called by item_list before the members of each item: a target that pairs members
    // forgets what the previous item left pending.
    virtual void start_item() {}

    key_table_t key_table;
};

// The elements of an array, read one item at a time: each element that is an object (or an
// array) is parsed on its own into `items`, after items.start_item(). Other elements are
// skipped. Members of one element therefore never meet those of another.
class item_list : public parse_data_base {
public:
    explicit item_list(basic_json_data& item_target) : parse_data_base(1), items(item_target) {}
    item_list(const item_list&) = delete;
    item_list& operator=(const item_list&) = delete;
    ~item_list() override = default;

    int on_value(int kind) override;

private:
    basic_json_data& items;
};

}  // namespace vistrel
