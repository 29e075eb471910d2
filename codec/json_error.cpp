#include "codec/json_error.hpp"

#include <stdexcept>

#include "codec/minijson_results.h"

void throw_json_error(const std::string& prefix, int code) {
  const char* text = minijson_error_text(code);
  if (text != nullptr) throw std::runtime_error(prefix + text);
  throw std::runtime_error(prefix + "error " + std::to_string(code));
}
