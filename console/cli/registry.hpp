// The command-line registry of `vistrel`: its building blocks (entries, levels, command
// groups), the registry itself (global options, command groups, subcommands and their
// options, built before main runs and never changed afterwards), and the matcher that walks
// the command-line words through it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace vistrel {

// Position of the current command-line word, counted from the end of the argument vector:
// the current word is args[cursor] with args pointing one past the last word; 0 means that no
// words are left. A run starts at 1 - argc.
using arg_cursor = std::int32_t;

// The argument vector, addressed from its end (see arg_cursor). Matching a "name=value" word
// rewrites its element in place to point at the value.
using arg_vector = char**;

// Called once its entry's word and nested options are matched; consumes its own words by
// advancing the cursor (never past 0) and reports failure only by throwing.
using option_handler = void (*)(arg_cursor& cursor, arg_vector args);

struct option_map;

struct option_desc {
    option_handler handler = nullptr;
    std::string_view argument_text;  // shown after the name in help output; may be empty
    std::string_view description;  // shown after " - " in help output; may be empty
    const option_map* nested = nullptr;  // options that may follow this entry's word; never null
};

// One level of the registry, its entries in byte-wise order of their names.
struct option_map {
    std::map<std::string_view, option_desc, std::less<>> entries;
    // The level's option help is printed when the group word selecting it is the last word.
    bool help_if_empty = false;
};

// Command groups by name; a name beginning with "_" is hidden from the usage text.
using command_map = std::map<std::string, const option_map*, std::less<>>;

extern const option_map no_options;  // the empty level
extern const option_map global_options;  // -c, -l
extern const option_map command_options;  // -t, after a subcommand
extern const option_map service_commands;  // group _service
extern const option_map system_commands;  // group system
extern const option_map profile_commands;  // group profile

extern const command_map command_groups;  // _service, profile, system

// Looks the current word's key (the part before the first "=") up in `level`, exactly and
// case-sensitively. On a match the word is consumed (a "name=value" word is rewritten to its
// value, which becomes the next word), the entry's nested options are matched in turn and its
// handler is called, all within one command_context: a fresh one with the defaults, unless one
// is current already; its trace is on when the environment holds VISTREL_TRACE=1. Returns true
// when an entry matched and words are left.
bool match_option(const option_map& level, arg_cursor& cursor, arg_vector args);

}  // namespace vistrel
