// Streaming JSON parser: checks the syntax of text as it arrives and reports
// the values found at one nesting depth to a callback, as pointers and
// lengths into the caller's buffer. Resumable; never builds a tree, never
// copies, never allocates, never throws.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/minijson_results.h"

// Types of reported values.
inline constexpr uint32_t MINIJSON_OBJECT = 1;
inline constexpr uint32_t MINIJSON_ARRAY = 2;
inline constexpr uint32_t MINIJSON_STRING = 4;
inline constexpr uint32_t MINIJSON_INTEGER = 8;
inline constexpr uint32_t MINIJSON_REAL = 16;
inline constexpr uint32_t MINIJSON_LITERAL = 32;  // true 1, false 0, null -1

// Request flags.
inline constexpr uint32_t MINIJSON_PARSE_LINE = 1;  // a line end ends the text
inline constexpr uint32_t MINIJSON_PARSE_SEPARATOR = 2;  // skip up to a 0x1E first

// Callback kinds.
inline constexpr int MINIJSON_KIND_ELEMENT = 1;  // no name: array element or top-level value
inline constexpr int MINIJSON_KIND_MEMBER = 2;  // object member; the name is in the key fields

// Context modes (what may come next).
inline constexpr uint32_t MINIJSON_MODE_FRESH = 0;
inline constexpr uint32_t MINIJSON_MODE_VALUE = 0x3A;
inline constexpr uint32_t MINIJSON_MODE_NAME = 0x1A;
inline constexpr uint32_t MINIJSON_MODE_COLON = 0x22;
inline constexpr uint32_t MINIJSON_MODE_AFTER_VALUE = 0x7D;

// Context flag bits.
inline constexpr uint32_t MINIJSON_IN_STRING = 1;
inline constexpr uint32_t MINIJSON_KEY_SEEN = 2;
inline constexpr uint32_t MINIJSON_ELEMENT_DONE = 4;
inline constexpr uint32_t MINIJSON_SEPARATOR_SEEN = 8;

inline constexpr size_t MINIJSON_MAX_DEPTH = 16;

union minijson_parse_value_t {
  const char* text;  // string: first byte after the quote; object/array: its opening bracket
  int64_t integer;  // integer; a literal is stored here as well (1, 0, -1)
  double real;
  int32_t literal;
  uint64_t bits;
};

// The record of the value being reported.
struct minijson_parse_data_t {
  const char* key;  // member name after its opening quote (kind 2)
  size_t key_length;  // raw length of the name, escapes not decoded
  size_t key_decoded_length;  // length of the name once unescaped
  uint32_t type;  // MINIJSON_OBJECT ... MINIJSON_LITERAL
  minijson_parse_value_t value;
  size_t
      length;  // string: raw length; object/array: whole text with brackets; number/literal: token length
  size_t count;  // string: decoded length; object/array: members or elements
};

// Resumable state, owned by the caller. Set mode to 0 before a new text.
struct minijson_parse_context_t {
  uint32_t mode;
  size_t depth;
  size_t position;  // next byte to scan, from the buffer start
  uint32_t flags;
  unsigned char stack[MINIJSON_MAX_DEPTH];  // opening bracket of each open level
};

inline void minijson_reset(minijson_parse_context_t* context) {
  context->mode = MINIJSON_MODE_FRESH;
}

// Called for every value completed at the report depth; nonzero stops the parse.
using minijson_parse_callback = int (*)(int kind, minijson_parse_data_t* data);

struct minijson_parser_t {
  minijson_parse_callback callback;  // may be null
  minijson_parse_data_t* data;  // null: a scratch record is used and the callback gets null
  size_t depth;  // report depth; 0 reports the top-level value
  uint32_t flags;  // MINIJSON_PARSE_LINE | MINIJSON_PARSE_SEPARATOR
  minijson_parse_context_t* context;  // null: the text must be complete in the buffer
};

// Parses buffer[0 .. *length). On 0, *length is the size of the parsed text
// (with one directly following line end in line mode); on an error, the
// offset of the offending byte; on -1, the offset examined so far.
int minijson_parse(const char* buffer, size_t* length, const minijson_parser_t* request);
