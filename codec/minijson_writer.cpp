#include "codec/minijson_writer.h"

#include <climits>
#include <cstring>

#include "codec/char_table.h"
#include "codec/minijson_results.h"
#include "codec/number_text.h"

namespace {

using minijson_detail::base64_alphabet;
using minijson_detail::characters;
using minijson_detail::hex_digits;
using minijson_detail::next_string_stop;

// Output: pieces of text go straight to the sink (unbuffered), or through
// the caller's buffer, which the sink receives whenever it is full.

constexpr size_t abort_length = static_cast<size_t>(-1);

char* buffer_start(const minijson_writer_t* writer) {
  return static_cast<char*>(writer->position) - (writer->capacity - writer->room);
}

size_t pending(const minijson_writer_t* writer) { return writer->capacity - writer->room; }

// The general case of emit: unbuffered output, or a piece that fills the
// buffer.
int emit_through_sink(minijson_writer_t* writer, const void* data, size_t length) {
  if (length == 0) return 0;
  if (writer->capacity == 0) return writer->sink(writer->position, data, length);
  const char* from = static_cast<const char*>(data);
  while (length > 0) {
    size_t take = length < writer->room ? length : writer->room;
    std::memcpy(writer->position, from, take);
    writer->position = static_cast<char*>(writer->position) + take;
    writer->room -= take;
    from += take;
    length -= take;
    if (writer->room == 0) {
      char* start = buffer_start(writer);
      writer->position = start;
      writer->room = writer->capacity;
      int result = writer->sink(nullptr, start, writer->capacity);
      if (result != 0) return result;
    }
  }
  return 0;
}

// Hands length bytes to the writer's output: straight to the sink in
// unbuffered mode, through the caller's buffer otherwise. Empty pieces are
// not delivered. Returns 0 or the sink's nonzero result.
inline int emit(minijson_writer_t* writer, const void* data, size_t length) {
  if (length < writer->room) {  // buffered, and the buffer does not fill up
    char* at = static_cast<char*>(writer->position);
    if (length == 1)
      *at = *static_cast<const char*>(data);
    else
      std::memcpy(at, data, length);
    writer->position = at + length;
    writer->room -= length;
    return 0;
  }
  return emit_through_sink(writer, data, length);
}

// The buffer position when at least `size` more bytes fit without filling
// it, else null: a piece of at most that size may then be written there
// directly and taken with advance().
inline char* room_for(const minijson_writer_t* writer, size_t size) {
  return size < writer->room ? static_cast<char*>(writer->position) : nullptr;
}

inline void advance(minijson_writer_t* writer, size_t length) {
  writer->position = static_cast<char*>(writer->position) + length;
  writer->room -= length;
}

// Context handed to generators: the caller's context when unbuffered, null
// when buffered.
void* generator_context(const minijson_writer_t* writer) {
  return writer->capacity == 0 ? writer->position : nullptr;
}

// Ends a write that produced result: on success delivers what is pending (or
// makes the end call) and returns the sink's result; on failure makes the
// abort call and returns result.
int finish(minijson_writer_t* writer, int result) {
  if (writer->capacity == 0) {
    if (result != 0) {
      writer->sink(writer->position, nullptr, abort_length);
      return result;
    }
    return writer->sink(writer->position, nullptr, 0);
  }
  size_t waiting = pending(writer);
  if (result != 0) {
    writer->sink(waiting > 0 ? nullptr : writer->position, nullptr, abort_length);
    return result;
  }
  if (waiting > 0) return writer->sink(nullptr, buffer_start(writer), waiting);
  return writer->sink(writer->position, nullptr, 0);
}

// Strings and base64.

// Writes the escape of byte (a stop byte) to out; returns its length.
size_t write_escape(unsigned char byte, char* out) {
  const unsigned char kind = characters.escape[byte];
  out[0] = '\\';
  if (kind != 'u') {
    out[1] = static_cast<char>(kind);
    return 2;
  }
  std::memcpy(out + 1, "u00", 3);
  out[4] = hex_digits[byte >> 4];
  out[5] = hex_digits[byte & 0xF];
  return 6;
}

// Writes text as a quoted JSON string with escapes. counted: exactly length
// bytes, NUL bytes escaped; otherwise up to the first NUL.
int emit_string(minijson_writer_t* writer, const char* text, size_t length, bool counted) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  // While the buffer has room for every byte to take the longest escape,
  // the text is copied and escaped in place in one pass; what is left
  // after that goes piece by piece.
  const size_t in_place = writer->room > 8 ? (writer->room - 2) / 6 : 0;
  size_t run = 0;  // start of the bytes not yet written
  if (in_place > 0) {
    char* const start = static_cast<char*>(writer->position);
    char* out = start;
    *out++ = '"';
    bool complete = false;
    if (counted) {
      const size_t end = length < in_place ? length : in_place;
      for (;;) {
        const size_t stop = minijson_detail::copy_to_string_stop(bytes, run, end, out);
        out += stop - run;
        run = stop;
        if (stop == end) break;
        out += write_escape(bytes[stop], out);
        run = stop + 1;
      }
      complete = run == length;
    } else {
      // Names are short: a byte at a time, the NUL being one of the stops.
      for (; run < in_place; ++run) {
        const unsigned char byte = bytes[run];
        if (characters.escape[byte] == 0) {
          *out++ = static_cast<char>(byte);
        } else if (byte == 0) {
          complete = true;
          break;
        } else {
          out += write_escape(byte, out);
        }
      }
    }
    if (complete) *out++ = '"';
    writer->position = out;
    writer->room -= static_cast<size_t>(out - start);
    if (complete) return 0;
  }
  if (!counted) length = run + std::strlen(text + run);
  int result = in_place > 0 ? 0 : emit(writer, "\"", 1);
  while (result == 0) {
    // '"', '\\' and control bytes are exactly the bytes that need an escape.
    const size_t stop = next_string_stop(bytes, run, length);
    result = emit(writer, text + run, stop - run);
    if (result != 0 || stop == length) break;
    char escape[6];
    result = emit(writer, escape, write_escape(bytes[stop], escape));
    run = stop + 1;
  }
  if (result != 0) return result;
  return emit(writer, "\"", 1);
}

// The two base64 characters of every 12-bit value.
struct base64_pair_table {
  char pairs[4096][2];
  constexpr base64_pair_table() : pairs{} {
    for (unsigned v = 0; v < 4096; ++v) {
      pairs[v][0] = base64_alphabet[v >> 6];
      pairs[v][1] = base64_alphabet[v & 63];
    }
  }
};
constexpr base64_pair_table base64_pairs;

// Encodes bytes (a multiple of three) as base64 into out; returns the length.
size_t encode_groups(const unsigned char* bytes, size_t length, char* out) {
  size_t n = 0;
  size_t i = 0;
  // Six bytes at a time while eight can be read: four 12-bit values from
  // the first 48 bits of the next eight bytes read as a big-endian word.
  for (; i + 8 <= length; i += 6) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    word = __builtin_bswap64(word);
#elif defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
#else
    uint64_t word = 0;
    for (size_t k = 0; k < 8; ++k) word = (word << 8) | bytes[i + k];
#endif
    std::memcpy(out + n, base64_pairs.pairs[(word >> 52) & 0xFFF], 2);
    std::memcpy(out + n + 2, base64_pairs.pairs[(word >> 40) & 0xFFF], 2);
    std::memcpy(out + n + 4, base64_pairs.pairs[(word >> 28) & 0xFFF], 2);
    std::memcpy(out + n + 6, base64_pairs.pairs[(word >> 16) & 0xFFF], 2);
    n += 8;
  }
  for (; i + 3 <= length; i += 3) {
    const unsigned group =
        (unsigned{bytes[i]} << 16) | (unsigned{bytes[i + 1]} << 8) | bytes[i + 2];
    std::memcpy(out + n, base64_pairs.pairs[group >> 12], 2);
    std::memcpy(out + n + 2, base64_pairs.pairs[group & 0xFFF], 2);
    n += 4;
  }
  return n;
}

// The last one or two bytes with their padding; returns the length (0 or 4).
size_t encode_tail(const unsigned char* bytes, size_t left, char* out) {
  if (left == 0) return 0;
  const unsigned group = (unsigned{bytes[0]} << 16) | (left == 2 ? unsigned{bytes[1]} << 8 : 0u);
  out[0] = base64_alphabet[(group >> 18) & 63];
  out[1] = base64_alphabet[(group >> 12) & 63];
  out[2] = left == 2 ? base64_alphabet[(group >> 6) & 63] : '=';
  out[3] = '=';
  return 4;
}

// Writes length bytes as quoted, padded base64: in place when the buffer has
// room for all of it, otherwise in 16-character chunks.
int emit_base64(minijson_writer_t* writer, const unsigned char* bytes, size_t length) {
  const size_t whole = length / 3 * 3;
  const size_t encoded = (length + 2) / 3 * 4;
  if (encoded + 2 < writer->room) {
    // Room in the buffer for all of it: encode in place.
    char* out = static_cast<char*>(writer->position);
    size_t n = 0;
    out[n++] = '"';
    n += encode_groups(bytes, whole, out + n);
    n += encode_tail(bytes + whole, length - whole, out + n);
    out[n++] = '"';
    writer->position = out + n;
    writer->room -= n;
    return 0;
  }
  // Otherwise in 16-character chunks (twelve bytes each).
  int result = emit(writer, "\"", 1);
  char chunk[16];
  size_t i = 0;
  for (; result == 0 && i + 12 <= whole; i += 12)
    result = emit(writer, chunk, encode_groups(bytes + i, 12, chunk));
  if (result != 0) return result;
  size_t n = encode_groups(bytes + i, whole - i, chunk);
  n += encode_tail(bytes + whole, length - whole, chunk + n);
  result = emit(writer, chunk, n);
  if (result != 0) return result;
  return emit(writer, "\"", 1);
}

// Values.

// What a value may be, by where it stands. The end marker is no value: the
// uncounted array and the top level look for it before writing a value.
constexpr unsigned may_generate = 1;  // a generator may stand here
constexpr unsigned single_value = 2;  // a generator here must produce exactly one value

constexpr int deepest_nesting = 64;  // guards against cyclic descriptor trees

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

int write_value(minijson_writer_t* out, const minijson_value_t* v, char* separator,
                unsigned permissions, int nesting);

// The separator that a value takes before it (none for the first at the top
// level); every later value there takes a comma.
inline int emit_separator(minijson_writer_t* out, char* separator) {
  const int result = *separator != 0 ? emit(out, separator, 1) : 0;
  *separator = ',';
  return result;
}

// A number's text from format(char* out) -> length, written straight into
// the buffer when it fits, else through a piece of its own.
template <typename Format>
inline int emit_number(minijson_writer_t* out, Format format) {
  char number[24];
  if (char* const direct = room_for(out, sizeof number)) {
    advance(out, format(direct));
    return 0;
  }
  return emit(out, number, format(number));
}

int emit_integer(minijson_writer_t* out, int64_t value) {
  return emit_number(out, [value](char* at) { return minijson_format_integer(value, at); });
}

// Strings and integers, the most common element and member values, without
// write_value's general dispatch; anything else, and a value nested too
// deep, is left to write_value.
[[gnu::always_inline]] inline int write_common_value(minijson_writer_t* out,
                                                     const minijson_value_t* v, char* separator,
                                                     unsigned permissions, int nesting) {
  const int32_t code = v->type;
  const bool is_string = code == MINIJSON_TYPE_STRING || code == -MINIJSON_TYPE_STRING;
  const bool is_integer = code == MINIJSON_TYPE_INTEGER || code == -MINIJSON_TYPE_INTEGER;
  if ((!is_string && !is_integer) || nesting > deepest_nesting ||
      (is_string && v->value.text == nullptr))
    return write_value(out, v, separator, permissions, nesting);
  const int result = emit_separator(out, separator);
  if (result != 0) return result;
  if (is_string)
    return emit_string(out, v->value.text, code < 0 ? static_cast<uint32_t>(v->count) : 0,
                       code < 0);
  return emit_integer(out, v->value.integer);
}

int emit_text(minijson_writer_t* out, const char* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return emit(out, text, length);
}

int write_array(minijson_writer_t* out, const minijson_value_t* v, bool counted, uint32_t count,
                int nesting) {
  if (counted && count == 0) return emit(out, "[]", 2);
  const minijson_value_t* elements = v->value.elements;
  if (elements == nullptr) return MINIJSON_ILLEGAL_FORMAT;
  char separator = '[';
  // An uncounted array ends at its first element of type 0; in a counted one
  // such an element is rejected like any unassigned code.
  for (uint32_t i = 0; counted ? i < count : elements[i].type != MINIJSON_TYPE_END; ++i) {
    const int result = write_common_value(out, &elements[i], &separator, may_generate, nesting + 1);
    if (result != 0) return result;
  }
  return separator == '[' ? emit(out, "[]", 2) : emit(out, "]", 1);
}

int write_object(minijson_writer_t* out, const minijson_value_t* v, bool counted, uint32_t count,
                 int nesting) {
  const minijson_member_t* members = v->value.members;
  if (members == nullptr) return MINIJSON_ILLEGAL_FORMAT;
  char pending = '{';
  for (uint32_t i = 0; !counted || i < count; ++i) {
    const minijson_member_t& member = members[i];
    if (member.name == nullptr) {
      if (counted) return MINIJSON_ILLEGAL_FORMAT;
      break;
    }
    int result = emit(out, &pending, 1);
    pending = ',';
    if (result == 0) result = emit_string(out, member.name, 0, false);
    char colon = ':';
    if (result == 0)
      result =
          write_common_value(out, &member.value, &colon, may_generate | single_value, nesting + 1);
    if (result != 0) return result;
  }
  return pending == '{' ? emit(out, "{}", 2) : emit(out, "}", 1);
}

// A generator stands for zero or more values; each takes the pending
// separator in turn, so an empty sequence leaves it for the next element.
int write_generated(minijson_writer_t* out, const minijson_value_t* v, char* separator,
                    unsigned permissions, int nesting) {
  if ((permissions & may_generate) == 0 || v->value.generator == nullptr)
    return MINIJSON_ILLEGAL_FORMAT;
  void* context = generator_context(out);
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

int write_value(minijson_writer_t* out, const minijson_value_t* v, char* separator,
                unsigned permissions, int nesting) {
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
  if (code == MINIJSON_TYPE_GENERATOR)
    return write_generated(out, v, separator, permissions, nesting);

  const int separated = emit_separator(out, separator);
  if (separated != 0) return separated;

  switch (code) {
    case MINIJSON_TYPE_ARRAY:
      return write_array(out, v, counted, count, nesting);
    case MINIJSON_TYPE_OBJECT:
      return write_object(out, v, counted, count, nesting);
    case MINIJSON_TYPE_STRING:
      if (v->value.text == nullptr) return MINIJSON_ILLEGAL_FORMAT;
      return emit_string(out, v->value.text, count, counted);
    case MINIJSON_TYPE_INTEGER:
      return emit_integer(out, v->value.integer);
    case MINIJSON_TYPE_HEX: {
      const uint64_t value = v->value.unsigned_integer;
      return emit_number(out, [value](char* at) { return minijson_format_hex(value, at); });
    }
    case MINIJSON_TYPE_BOOL:
      return emit_text(out,
                       v->value.integer == 0      ? "false"
                           : v->value.integer > 0 ? "true"
                                                  : "null");
    case MINIJSON_TYPE_NULL:
      return emit(out, "null", 4);
    case MINIJSON_TYPE_RAW:
      if (!counted || v->value.text == nullptr) return MINIJSON_ILLEGAL_FORMAT;
      return emit(out, v->value.text, count);
    case MINIJSON_TYPE_BINARY:
      if (!counted || v->value.data == nullptr) return MINIJSON_ILLEGAL_FORMAT;
      return emit_base64(out, static_cast<const unsigned char*>(v->value.data), count);
    case MINIJSON_TYPE_REAL: {
      minijson_real_text text;
      const int result = minijson_format_real(v->value.real, counted ? int64_t{count} : -1, &text);
      if (result != 0) return result;
      // Most mantissas are short: copied in fixed-size pieces when they fit.
      constexpr size_t short_mantissa = 32;
      char* const at = room_for(out, short_mantissa + sizeof text.exponent);
      if (at != nullptr && text.mantissa_length <= short_mantissa) {
        std::memcpy(at, text.mantissa, short_mantissa);
        std::memcpy(at + text.mantissa_length, text.exponent, sizeof text.exponent);
        advance(out, text.mantissa_length + text.exponent_length);
        return 0;
      }
      const int sent = emit(out, text.mantissa, text.mantissa_length);
      if (sent != 0) return sent;
      return emit(out, text.exponent, text.exponent_length);
    }
    default:
      return MINIJSON_ILLEGAL_FORMAT;
  }
}

int write_framed(minijson_writer_t* out, unsigned flags, const minijson_value_t* root) {
  int result = 0;
  if ((flags & MINIJSON_WRITE_SEPARATOR) != 0) result = emit(out, "\x1e", 1);
  if (result == 0 && root->type != MINIJSON_TYPE_END) {  // an end marker at the top: no text
    char separator = 0;
    result = write_value(out, root, &separator, 0, 0);
  }
  if (result == 0 && (flags & (MINIJSON_WRITE_LINE | MINIJSON_WRITE_SEPARATOR)) != 0)
    result = emit(out, "\n", 1);
  return finish(out, result);
}

}  // namespace

int minijson_write(void* context, minijson_sink sink, unsigned flags,
                   const minijson_value_t* root) {
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
