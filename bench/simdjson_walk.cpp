#include "bench/simdjson_walk.hpp"

#include <simdjson.h>

namespace {

using simdjson::ondemand::json_type;
using simdjson::ondemand::number_type;
using simdjson::ondemand::value;

// Every value below `v`, with the totals the other walks keep: containers
// count as values, keys and strings count their unescaped bytes.
simdjson::error_code visit(value v, walk_totals* totals) {
  json_type type;
  if (auto error = v.type().get(type)) return error;
  ++totals->values;
  switch (type) {
    case json_type::object: {
      simdjson::ondemand::object object;
      if (auto error = v.get_object().get(object)) return error;
      for (auto field : object) {
        std::string_view key;
        if (auto error = field.unescaped_key().get(key)) return error;
        totals->string_bytes += key.size();
        if (auto error = visit(field.value(), totals)) return error;
      }
      return simdjson::SUCCESS;
    }
    case json_type::array: {
      simdjson::ondemand::array array;
      if (auto error = v.get_array().get(array)) return error;
      for (auto element : array) {
        value inner;
        if (auto error = element.get(inner)) return error;
        if (auto error = visit(inner, totals)) return error;
      }
      return simdjson::SUCCESS;
    }
    case json_type::string: {
      std::string_view text;
      if (auto error = v.get_string().get(text)) return error;
      totals->string_bytes += text.size();
      return simdjson::SUCCESS;
    }
    case json_type::number: {
      number_type kind;
      if (auto error = v.get_number_type().get(kind)) return error;
      if (kind == number_type::floating_point_number) {
        double real;
        if (auto error = v.get_double().get(real)) return error;
        totals->reals += real;
      } else {
        int64_t integer;
        if (auto error = v.get_int64().get(integer)) return error;
        totals->integers += integer;
      }
      return simdjson::SUCCESS;
    }
    case json_type::boolean: {
      bool flag;
      if (auto error = v.get_bool().get(flag)) return error;
      totals->integers += flag ? 1 : 0;
      return simdjson::SUCCESS;
    }
    case json_type::null:
      totals->integers -= 1;
      return v.is_null().error();
  }
  return simdjson::INCORRECT_TYPE;
}

}  // namespace

struct simdjson_walker::state {
  simdjson::ondemand::parser parser;
  std::vector<simdjson::padded_string> texts;
};

simdjson_walker::simdjson_walker(const std::vector<std::string>& texts)
    : state_(std::make_unique<state>()) {
  for (const std::string& t : texts) state_->texts.emplace_back(t);
}

simdjson_walker::~simdjson_walker() = default;

bool simdjson_walker::available() {
#if defined(__x86_64__) || defined(__i386__)
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2") &&
      __builtin_cpu_supports("pclmul");
#else
  return true;
#endif
}

bool simdjson_walker::walk(size_t index, walk_totals* totals) {
  simdjson::ondemand::document document;
  if (state_->parser.iterate(state_->texts[index]).get(document)) return false;
  value root;
  if (document.get_value().get(root)) return false;
  return visit(root, totals) == simdjson::SUCCESS;
}

size_t simdjson_walker::size() const { return state_->texts.size(); }
