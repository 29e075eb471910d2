#include "console/cli/registry.hpp"

#include "console/cli/profile_commands.hpp"
#include "console/cli/system_commands.hpp"
#include "console/events/command_context.hpp"

#include <cstdlib>
#include <string_view>

namespace vistrel {

const option_map no_options{};

const option_map command_options{
    {{"-t", {set_timeout, "<timeout_in_s>=2", "set operation timeout in seconds", &no_options}}}, false};

const option_map global_options{
    {{"-c", {set_port, "<com_port_device>", "specifies the port of the device", &no_options}},
     {"-l", {list_devices, "", "list conncted devices", &no_options}}},
    false};

const option_map service_commands{{{"check", {run_check, "", "", &command_options}}}, false};

const option_map system_commands{
    {{"information", {run_information, "", "get basic information about the device", &command_options}}}, true};

const option_map profile_commands{{{"download",
                                    {run_download, "<profile_number> <filename> [<profile_number> <filename> [...]]",
                                     "download user profiles (EDID)", &command_options}},
                                   {"list", {run_list, "", "list profiles (EDID)", &command_options}},
                                   {"reset",
                                    {run_reset, "(all | <profile_number> [<profile_number> [...]])",
                                     "reset user profiles to defaults (EDID)", &command_options}},
                                   {"upload",
                                    {run_upload, "<profile_number> <edid_file> [<profile_number> <edid_file> [...]]",
                                     "upload user profiles (EDID)", &command_options}}},
                                  true};

const command_map command_groups{
    {"_service", &service_commands},
    {"profile", &profile_commands},
    {"system", &system_commands},
};

namespace {

// An environment switch: on when the variable is exactly "1".
bool switched_on(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && std::string_view(value) == "1";
}

// Makes a fresh command_context current for as long as it lives, unless one already is.
class command_context_scope {
public:
    command_context_scope()
    {
        if (current_command_context == nullptr) {
            context_.trace = switched_on("VISTREL_TRACE");
            context_.verify = switched_on("VISTREL_VERIFY");
            current_command_context = &context_;
            owns_ = true;
        }
    }
    command_context_scope(const command_context_scope&) = delete;
    command_context_scope& operator=(const command_context_scope&) = delete;
    ~command_context_scope()
    {
        if (owns_) {
            current_command_context = nullptr;
        }
    }

private:
    command_context context_;
    bool owns_ = false;
};

}  // namespace

bool match_option(const option_map& level, arg_cursor& cursor, arg_vector args)
{
    if (cursor >= 0) {
        return false;
    }
    const std::string_view word(args[cursor]);
    const auto equals = word.find('=');
    const auto entry = level.entries.find(word.substr(0, equals));
    if (entry == level.entries.end()) {
        return false;
    }
    if (equals != std::string_view::npos) {
        args[cursor] += equals + 1;
    } else {
        ++cursor;
    }

    const command_context_scope context;
    const option_desc& option = entry->second;
    while (match_option(*option.nested, cursor, args)) {
    }
    option.handler(cursor, args);
    return cursor != 0;
}

}  // namespace vistrel
