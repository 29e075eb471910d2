#include "console/cli/print_usage.hpp"

#include "console/cli/program_name.hpp"
#include "console/cli/program_version.hpp"
#include "console/cli/registry.hpp"

namespace vistrel {

void print_usage(std::ostream& out, arg_cursor program, arg_cursor offending, arg_vector args)
{
    const char* argv0 = args[program];
    const std::string name = quoted_program_name(program_stem(argv0 != nullptr ? argv0 : ""));

    out << name << ", version " << version_major << '.' << version_minor
        << " - unrecognized command: " << (offending == 0 ? "<empty>" : args[offending])
        << std::endl;

    out << "Usage: " << name;
    const char* separator = " [";
    for (const auto& [option, entry] : global_options.entries) {
        out << separator << option;
        if (!entry.argument_text.empty()) {
            out << ' ' << entry.argument_text;
        }
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

}  // namespace vistrel
