#include "bench/minijson_walk.hpp"

#include "codec/minijson_parser.h"
#include "codec/minijson_text.h"

namespace {

struct walker : minijson_parse_data_t {
  char* scratch;
  walk_totals* totals;
  bool descend;  // parse each container's text again one level down
};

int visit(int kind, minijson_parse_data_t* data) {
  walker* self = static_cast<walker*>(data);
  walk_totals& totals = *self->totals;
  ++totals.values;
  if (kind == MINIJSON_KIND_MEMBER)
    totals.string_bytes += minijson_unescape(self->scratch, data->key, data->key_length, 1);
  switch (data->type) {
    case MINIJSON_OBJECT:
    case MINIJSON_ARRAY:
      if (self->descend)
        return minijson_walk(data->value.text, data->length, self->scratch, self->totals);
      totals.string_bytes += data->length;
      return 0;
    case MINIJSON_STRING:
      totals.string_bytes += minijson_unescape(self->scratch, data->value.text, data->length, 1);
      return 0;
    case MINIJSON_INTEGER:
    case MINIJSON_LITERAL:
      totals.integers += data->value.integer;
      return 0;
    default:
      totals.reals += data->value.real;
      return 0;
  }
}

}  // namespace

int minijson_walk(const char* text, size_t length, char* scratch, walk_totals* totals) {
  walker level{};
  level.scratch = scratch;
  level.totals = totals;
  level.descend = true;
  const minijson_parser_t request{visit, &level, 1, 0, nullptr};
  return minijson_parse(text, &length, &request);
}

int minijson_one_pass(const char* text, size_t length, char* scratch, walk_totals* totals) {
  walker level{};
  level.scratch = scratch;
  level.totals = totals;
  const minijson_parser_t request{visit, &level, 1, 0, nullptr};
  return minijson_parse(text, &length, &request);
}

int minijson_one_pass_in_pieces(const char* text, size_t length, size_t piece, char* scratch,
                                walk_totals* totals) {
  walker level{};
  level.scratch = scratch;
  level.totals = totals;
  minijson_parse_context_t context{};
  const minijson_parser_t request{visit, &level, 1, MINIJSON_PARSE_LINE, &context};
  int result = MINIJSON_UNFINISHED;
  for (size_t end = piece; result == MINIJSON_UNFINISHED; end += piece) {
    size_t available = end < length ? end : length;
    result = minijson_parse(text, &available, &request);
    if (end >= length) break;
  }
  return result;
}
