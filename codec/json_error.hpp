// Turns a codec result code into an exception.
#pragma once

#include <string>

// Throws std::runtime_error(prefix + text of code), or prefix + "error " +
// code for a code without a text.
[[noreturn]] void throw_json_error(const std::string& prefix, int code);
