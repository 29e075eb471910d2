// JSON writer: renders a caller-owned tree of typed value descriptors as
// compact JSON text and hands it piece by piece to an output function.
// Plain structures, integer results (0 success, a codec result code or the
// output function's own nonzero result), no exceptions, no allocation, no
// state kept between calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/minijson_results.h"

struct minijson_value_t;

// Output function. A nonzero result aborts the write and becomes its result.
// A null data pointer marks the end of the output (length 0) or an abort
// (length (size_t)-1).
using minijson_sink = int (*)(void* context, const void* data, size_t length);

// Produces the next value to write, or null when there are no more. The
// returned descriptor must stay valid until the next call.
using minijson_generator = const minijson_value_t* (*)(void* context, uint64_t argument);

struct minijson_member_t;

// The payload word of a descriptor; which member is meant follows the type.
union minijson_word_t {
  uint64_t bits;
  int64_t integer;  // 'I', 'B' (tri-state)
  uint64_t unsigned_integer;  // 'X'
  double real;  // 'L'
  const char* text;  // 'S', 'J'
  const void* data;  // '?'
  const minijson_value_t* elements;  // 'A'
  const minijson_member_t* members;  // 'O'
  minijson_generator generator;  // 'D'
};

// One value descriptor. A negative type is the negated code of a counted
// descriptor whose low 32 count bits hold the element count or byte length.
// For generators the whole count word is the generator's argument.
struct minijson_value_t {
  int32_t type;
  uint64_t count;
  minijson_word_t value;
};

// One object member: NUL-terminated name and value. A null name ends an
// uncounted object.
struct minijson_member_t {
  const char* name;
  minijson_value_t value;
};

// Output state of one write: context (unbuffered) or current write position
// (buffered), buffer capacity (0 = unbuffered), sink, free room in the buffer.
struct minijson_writer_t {
  void* position;
  size_t capacity;
  minijson_sink sink;
  size_t room;
};

// Type codes (character codes); the counted form is the negated code.
inline constexpr int32_t MINIJSON_TYPE_END = 0;  // ends an uncounted array
inline constexpr int32_t MINIJSON_TYPE_BINARY = '?';  // bytes as base64 (counted only)
inline constexpr int32_t MINIJSON_TYPE_ARRAY = 'A';
inline constexpr int32_t MINIJSON_TYPE_BOOL = 'B';  // 0 false, >0 true, <0 null
inline constexpr int32_t MINIJSON_TYPE_GENERATOR = 'D';
inline constexpr int32_t MINIJSON_TYPE_INTEGER = 'I';
inline constexpr int32_t MINIJSON_TYPE_RAW = 'J';  // verbatim JSON text (counted only)
inline constexpr int32_t MINIJSON_TYPE_REAL = 'L';  // counted: count is a precision
inline constexpr int32_t MINIJSON_TYPE_NULL = 'N';
inline constexpr int32_t MINIJSON_TYPE_OBJECT = 'O';
inline constexpr int32_t MINIJSON_TYPE_STRING = 'S';
inline constexpr int32_t MINIJSON_TYPE_HEX = 'X';

// Write flags: 1 line feed after the text; 2 record separator 0x1E before
// it and a line feed after it.
inline constexpr unsigned MINIJSON_WRITE_LINE = 1;
inline constexpr unsigned MINIJSON_WRITE_SEPARATOR = 2;

// Writes the tree at root; every piece goes to sink(context, ...).
// Returns 0, MINIJSON_ILLEGAL_FORMAT (malformed tree, null sink or root),
// MINIJSON_WRONG_VALUE (infinite or NaN real) or the sink's nonzero result.
int minijson_write(void* context, minijson_sink sink, unsigned flags, const minijson_value_t* root);

// Like minijson_write, but collects the text in buffer and calls
// sink(nullptr, buffer, capacity) for every full buffer, then once for the
// rest. Capacity 0 behaves like minijson_write(buffer, ...).
int minijson_write_buffered(void* buffer, size_t capacity, minijson_sink sink, unsigned flags,
                            const minijson_value_t* root);

// Descriptor constructors.
constexpr minijson_value_t minijson_end() { return minijson_value_t{MINIJSON_TYPE_END, 0, {0}}; }

constexpr minijson_value_t minijson_null() { return minijson_value_t{MINIJSON_TYPE_NULL, 0, {0}}; }

constexpr minijson_value_t minijson_bool(int64_t tri_state) {
  minijson_value_t v{MINIJSON_TYPE_BOOL, 0, {0}};
  v.value.integer = tri_state;
  return v;
}

constexpr minijson_value_t minijson_integer(int64_t number) {
  minijson_value_t v{MINIJSON_TYPE_INTEGER, 0, {0}};
  v.value.integer = number;
  return v;
}

constexpr minijson_value_t minijson_hex(uint64_t number) {
  minijson_value_t v{MINIJSON_TYPE_HEX, 0, {0}};
  v.value.unsigned_integer = number;
  return v;
}

constexpr minijson_value_t minijson_real(double number) {
  minijson_value_t v{MINIJSON_TYPE_REAL, 0, {0}};
  v.value.real = number;
  return v;
}

// NUL-terminated string.
constexpr minijson_value_t minijson_string(const char* text) {
  minijson_value_t v{MINIJSON_TYPE_STRING, 0, {0}};
  v.value.text = text;
  return v;
}

// String of exactly length bytes (NUL bytes inside are escaped).
constexpr minijson_value_t minijson_string_n(const char* text, uint32_t length) {
  minijson_value_t v{-MINIJSON_TYPE_STRING, length, {0}};
  v.value.text = text;
  return v;
}

constexpr minijson_value_t minijson_raw(const char* json, uint32_t length) {
  minijson_value_t v{-MINIJSON_TYPE_RAW, length, {0}};
  v.value.text = json;
  return v;
}

constexpr minijson_value_t minijson_binary(const void* bytes, uint32_t length) {
  minijson_value_t v{-MINIJSON_TYPE_BINARY, length, {0}};
  v.value.data = bytes;
  return v;
}

// Array ended by an element of type MINIJSON_TYPE_END.
constexpr minijson_value_t minijson_array(const minijson_value_t* elements) {
  minijson_value_t v{MINIJSON_TYPE_ARRAY, 0, {0}};
  v.value.elements = elements;
  return v;
}

constexpr minijson_value_t minijson_array_n(const minijson_value_t* elements, uint32_t count) {
  minijson_value_t v{-MINIJSON_TYPE_ARRAY, count, {0}};
  v.value.elements = elements;
  return v;
}

// Object ended by a member with a null name.
constexpr minijson_value_t minijson_object(const minijson_member_t* members) {
  minijson_value_t v{MINIJSON_TYPE_OBJECT, 0, {0}};
  v.value.members = members;
  return v;
}

constexpr minijson_value_t minijson_object_n(const minijson_member_t* members, uint32_t count) {
  minijson_value_t v{-MINIJSON_TYPE_OBJECT, count, {0}};
  v.value.members = members;
  return v;
}

constexpr minijson_value_t minijson_generated(minijson_generator generator, uint64_t argument) {
  minijson_value_t v{MINIJSON_TYPE_GENERATOR, argument, {0}};
  v.value.generator = generator;
  return v;
}

constexpr minijson_member_t minijson_member(const char* name, minijson_value_t value) {
  return minijson_member_t{name, value};
}

constexpr minijson_member_t minijson_member_end() {
  return minijson_member_t{nullptr, minijson_end()};
}

static_assert(sizeof(minijson_word_t) == 8, "the value word is one 64-bit word");
static_assert(sizeof(minijson_value_t) == 24, "a descriptor is three 64-bit words");
