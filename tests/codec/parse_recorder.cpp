#include "tests/codec/parse_recorder.hpp"

#include <cstdio>

namespace {

struct recorder : minijson_parse_data_t {
  std::vector<std::string>* reports = nullptr;
  int answer = 0;
};

int record(int kind, minijson_parse_data_t* data) {
  recorder* self = static_cast<recorder*>(data);
  self->reports->push_back(describe_report(kind, *data));
  return self->answer;
}

parse_outcome parse_calls(std::string_view text, const std::vector<size_t>& ends, size_t depth,
                          uint32_t flags, bool resumable, int answer) {
  parse_outcome outcome;
  recorder data{};
  data.reports = &outcome.reports;
  data.answer = answer;
  minijson_parse_context_t context{};
  const minijson_parser_t request{record, &data, depth, flags, resumable ? &context : nullptr};
  for (size_t end : ends) {
    outcome.length = end;
    outcome.result = minijson_parse(text.data(), &outcome.length, &request);
    if (outcome.result != MINIJSON_UNFINISHED) break;
  }
  return outcome;
}

}  // namespace

std::string describe_report(int kind, const minijson_parse_data_t& data) {
  std::string line = "kind " + std::to_string(kind) + " type " + std::to_string(data.type);
  if (kind == MINIJSON_KIND_MEMBER) {
    line += " key " + std::string(data.key, data.key_length) + " (" +
        std::to_string(data.key_decoded_length) + ")";
  }
  switch (data.type) {
    case MINIJSON_OBJECT:
    case MINIJSON_ARRAY:
    case MINIJSON_STRING:
      line += " text " + std::string(data.value.text, data.length);
      break;
    case MINIJSON_INTEGER:
    case MINIJSON_LITERAL:
      line += " value " + std::to_string(data.value.integer);
      break;
    case MINIJSON_REAL: {
      char buffer[40];
      std::snprintf(buffer, sizeof buffer, "%.17g", data.value.real);
      line += std::string(" value ") + buffer;
      break;
    }
    default:
      break;
  }
  return line + " length " + std::to_string(data.length) + " count " + std::to_string(data.count);
}

parse_outcome parse_whole(std::string_view text, size_t depth, uint32_t flags, bool resumable,
                          int callback_result) {
  return parse_calls(text, {text.size()}, depth, flags, resumable, callback_result);
}

parse_outcome parse_split(std::string_view text, size_t split, size_t depth, uint32_t flags) {
  return parse_calls(text, {split, text.size()}, depth, flags, true, 0);
}

parse_outcome parse_in_pieces(std::string_view text, size_t piece, size_t depth, uint32_t flags) {
  std::vector<size_t> ends;
  for (size_t end = piece; end < text.size(); end += piece) ends.push_back(end);
  ends.push_back(text.size());
  return parse_calls(text, ends, depth, flags, true, 0);
}
