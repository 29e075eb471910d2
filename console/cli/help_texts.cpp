#include "console/cli/help_texts.hpp"

#include <filesystem>
#include <iomanip>
#include <sstream>

namespace vistrel {
namespace {

void print_name_and_arguments(std::ostream& out, std::string_view name, const option_desc& entry)
{
    out << name;
    if (!entry.argument_text.empty()) {
        out << ' ' << entry.argument_text;
    }
}

}  // namespace

std::string program_stem(std::string_view argv0)
{
    return std::filesystem::path(argv0).stem().string();
}

std::string quoted_program_name(std::string_view name)
{
    std::ostringstream text;
    text << std::quoted(name);
    return text.str();
}

void print_usage(std::ostream& out, arg_cursor program, arg_cursor offending, arg_vector args)
{
    const char* argv0 = args[program];
    const std::string name = quoted_program_name(program_stem(argv0 != nullptr ? argv0 : ""));

    out << name << ", version " << version_major << '.' << version_minor
        << " - unrecognized command: " << (offending == 0 ? "<empty>" : args[offending]) << std::endl;

    out << "Usage: " << name;
    const char* separator = " [";
    for (const auto& [option, entry] : global_options.entries) {
        out << separator;
        print_name_and_arguments(out, option, entry);
        separator = " | ";
    }
    out << "] ";
    separator = "";
    for (const auto& [group, level] : command_groups) {
        if (group.starts_with('_')) {
            continue;
        }
        out << separator << group << " <options...>";
        separator = " | ";
    }
    out << '\n' << std::endl;
}

option_map& explained_options()
{
    static option_map options;
    return options;
}

void print_option_details(std::ostream& out, const option_desc& entry, bool collect)
{
    for (const auto& [name, option] : entry.nested->entries) {
        out << " [";
        print_name_and_arguments(out, name, option);
        out << ']';
    }
    if (collect) {
        explained_options().entries.insert(entry.nested->entries.begin(), entry.nested->entries.end());
    }
    if (!entry.argument_text.empty()) {
        out << ' ' << entry.argument_text;
    }
    if (!entry.description.empty()) {
        out << " - " << entry.description;
    }
}

void print_option_help(std::ostream& out, std::string_view group, const option_map& level, std::string_view word)
{
    out << "Unrecognized option [" << word << "] for command " << group << std::endl;

    out << "Possible options: " << group;
    const char* separator = " (";
    for (const auto& [name, entry] : level.entries) {
        out << separator;
        print_name_and_arguments(out, name, entry);
        separator = " | ";
    }
    out << ")\n";

    for (const auto& [name, entry] : level.entries) {
        out << '\n' << group << ' ' << name;
        print_option_details(out, entry, explained_options().entries.empty());
    }
    out << '\n';

    for (const auto& [name, option] : explained_options().entries) {
        out << "\n\"option\" " << name;
        print_option_details(out, option, false);
    }
    out << '\n' << std::endl;
}

}  // namespace vistrel
