#include "codec/minijson_writer.h"

#include <climits>

#include "codec/integer_text.h"
#include "codec/minijson_parser.h"
#include "codec/real_text.h"
#include "codec/writer_output.h"
#include "codec/writer_string.h"

namespace {

// What a value may be, by where it stands.
constexpr unsigned may_end = 1;        // type 0 ends the enclosing uncounted array
constexpr unsigned may_generate = 2;   // a generator may stand here
constexpr unsigned single_value = 4;   // a generator here must produce exactly one value

constexpr int end_reached = -15;       // internal: an end marker was met
constexpr int deepest_nesting = 64;    // guards against cyclic descriptor trees

bool is_assigned(int32_t code) {
  switch (code) {
    case MINIJSON_TYPE_BINARY:
    case MINIJSON_TYPE_ARRAY:
    case MINIJSON_TYPE_BOOL:
    case MINIJSON_TYPE_GENERATOR:
    case MINIJSON_TYPE_INTEGER:
    case MINIJSON_TYPE_RAW:
    case MINIJSON_TYPE_REAL:
    case MINIJSON_TYPE_NULL:
    case MINIJSON_TYPE_OBJECT:
    case MINIJSON_TYPE_STRING:
    case MINIJSON_TYPE_HEX:
      return true;
    default:
      return false;
  }
}

int write_value(minijson_writer_t* out, const minijson_value_t* v, char* separator, unsigned permissions,
                int nesting);

int emit_text(minijson_writer_t* out, const char* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return minijson_emit(out, text, length);
}

int write_array(minijson_writer_t* out, const minijson_value_t* v, bool counted, uint32_t count, int nesting) {
  if (counted && count == 0) return minijson_emit(out, "[]", 2);
  const minijson_value_t* elements = v->value.elements;
  if (elements == nullptr) return MINIJSON_ILLEGAL_FORMAT;
  const unsigned permissions = counted ? may_generate : may_end | may_generate;
  char separator = '[';
  for (uint32_t i = 0; !counted || i < count; ++i) {
    const int result = write_value(out, &elements[i], &separator, permissions, nesting + 1);
    if (result == end_reached) break;
    if (result != 0) return result;
  }
  return separator == '[' ? minijson_emit(out, "[]", 2) : minijson_emit(out, "]", 1);
}

int write_object(minijson_writer_t* out, const minijson_value_t* v, bool counted, uint32_t count, int nesting) {
  const minijson_member_t* members = v->value.members;
  if (members == nullptr) return MINIJSON_ILLEGAL_FORMAT;
  char pending = '{';
  for (uint32_t i = 0; !counted || i < count; ++i) {
    const minijson_member_t& member = members[i];
    if (member.name == nullptr) {
      if (counted) return MINIJSON_ILLEGAL_FORMAT;
      break;
    }
    int result = minijson_emit(out, &pending, 1);
    pending = ',';
    if (result == 0) result = minijson_emit_string(out, member.name, 0, false);
    char colon = ':';
    if (result == 0) result = write_value(out, &member.value, &colon, may_generate | single_value, nesting + 1);
    if (result != 0) return result;
  }
  return pending == '{' ? minijson_emit(out, "{}", 2) : minijson_emit(out, "}", 1);
}

// A generator stands for zero or more values; each takes the pending
// separator in turn, so an empty sequence leaves it for the next element.
int write_generated(minijson_writer_t* out, const minijson_value_t* v, char* separator, unsigned permissions,
                    int nesting) {
  if ((permissions & may_generate) == 0 || v->value.generator == nullptr) return MINIJSON_ILLEGAL_FORMAT;
  void* context = minijson_generator_context(out);
  unsigned produced = 0;
  for (;;) {
    const minijson_value_t* item = v->value.generator(context, v->count);
    if (item == nullptr) break;
    if ((permissions & single_value) != 0 && produced == 1) return MINIJSON_ILLEGAL_FORMAT;
    const int result = write_value(out, item, separator, 0, nesting);
    if (result != 0) return result;
    ++produced;
  }
  if ((permissions & single_value) != 0 && produced == 0) return MINIJSON_ILLEGAL_FORMAT;
  return 0;
}

int write_value(minijson_writer_t* out, const minijson_value_t* v, char* separator, unsigned permissions,
                int nesting) {
  if ((permissions & may_end) != 0 && v->type == MINIJSON_TYPE_END) return end_reached;
  if (nesting > deepest_nesting) return MINIJSON_ILLEGAL_FORMAT;
  int32_t code = v->type;
  const bool counted = code < 0;
  uint32_t count = 0;
  if (counted) {
    if (code == INT32_MIN) return MINIJSON_ILLEGAL_FORMAT;
    code = -code;
    count = static_cast<uint32_t>(v->count);
  }
  if (!is_assigned(code)) return MINIJSON_ILLEGAL_FORMAT;
  if (code == MINIJSON_TYPE_GENERATOR) return write_generated(out, v, separator, permissions, nesting);

  if (*separator != 0) {
    const int result = minijson_emit(out, separator, 1);
    if (result != 0) return result;
  }
  *separator = ',';

  char number[24];
  switch (code) {
    case MINIJSON_TYPE_ARRAY:
      return write_array(out, v, counted, count, nesting);
    case MINIJSON_TYPE_OBJECT:
      return write_object(out, v, counted, count, nesting);
    case MINIJSON_TYPE_STRING:
      if (v->value.text == nullptr) return MINIJSON_ILLEGAL_FORMAT;
      return minijson_emit_string(out, v->value.text, count, counted);
    case MINIJSON_TYPE_INTEGER:
      return minijson_emit(out, number, minijson_format_integer(v->value.integer, number));
    case MINIJSON_TYPE_HEX:
      return minijson_emit(out, number, minijson_format_hex(v->value.unsigned_integer, number));
    case MINIJSON_TYPE_BOOL:
      return emit_text(out, v->value.integer == 0 ? "false" : v->value.integer > 0 ? "true" : "null");
    case MINIJSON_TYPE_NULL:
      return minijson_emit(out, "null", 4);
    case MINIJSON_TYPE_RAW:
      if (!counted || v->value.text == nullptr) return MINIJSON_ILLEGAL_FORMAT;
      return minijson_emit(out, v->value.text, count);
    case MINIJSON_TYPE_BINARY:
      if (!counted || v->value.data == nullptr) return MINIJSON_ILLEGAL_FORMAT;
      return minijson_emit_base64(out, static_cast<const unsigned char*>(v->value.data), count);
    case MINIJSON_TYPE_REAL: {
      minijson_real_text text;
      const int result = minijson_format_real(v->value.real, counted ? int64_t{count} : -1, &text);
      if (result != 0) return result;
      const int sent = minijson_emit(out, text.mantissa, text.mantissa_length);
      if (sent != 0) return sent;
      return minijson_emit(out, text.exponent, text.exponent_length);
    }
    default:
      return MINIJSON_ILLEGAL_FORMAT;
  }
}

int write_framed(minijson_writer_t* out, unsigned flags, const minijson_value_t* root) {
  int result = 0;
  if ((flags & MINIJSON_WRITE_SEPARATOR) != 0) result = minijson_emit(out, "\x1e", 1);
  if (result == 0) {
    char separator = 0;
    result = write_value(out, root, &separator, may_end, 0);
    if (result == end_reached) result = 0;
  }
  if (result == 0 && (flags & (MINIJSON_WRITE_LINE | MINIJSON_WRITE_SEPARATOR)) != 0)
    result = minijson_emit(out, "\n", 1);
  return minijson_finish(out, result);
}

}  // namespace

int minijson_write(void* context, minijson_sink sink, unsigned flags, const minijson_value_t* root) {
  if (sink == nullptr || root == nullptr) return MINIJSON_ILLEGAL_FORMAT;
  minijson_writer_t out{context, 0, sink, 0};
  return write_framed(&out, flags, root);
}

int minijson_write_buffered(void* buffer, size_t capacity, minijson_sink sink, unsigned flags,
                            const minijson_value_t* root) {
  if (sink == nullptr || root == nullptr) return MINIJSON_ILLEGAL_FORMAT;
  if (capacity == 0) return minijson_write(buffer, sink, flags, root);
  if (buffer == nullptr) return MINIJSON_ILLEGAL_FORMAT;
  minijson_writer_t out{buffer, capacity, sink, capacity};
  return write_framed(&out, flags, root);
}
