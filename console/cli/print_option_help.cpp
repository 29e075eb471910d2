#include "console/cli/print_option_help.hpp"

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
        explained_options().entries.insert(entry.nested->entries.begin(),
                                           entry.nested->entries.end());
    }
    if (!entry.argument_text.empty()) {
        out << ' ' << entry.argument_text;
    }
    if (!entry.description.empty()) {
        out << " - " << entry.description;
    }
}

void print_option_help(std::ostream& out, std::string_view group, const option_map& level,
                       std::string_view word)
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
