// How the program names itself in its usage text.
#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// The stem of argv[0]: folder and last extension removed. "." and ".." stay whole and a
// leading dot does not start an extension. Folders are split the platform's way: at "/" on
// POSIX systems, at "/" and "\" (and after a drive) on Windows.
std::string program_stem(std::string_view argv0);

// The text in double quotes, each double quote or backslash in it escaped by a backslash.
std::string quoted_program_name(std::string_view name);

}  // namespace vistrel
