#include "codec/minijson_parser.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "codec/char_table.h"

namespace {

using minijson_detail::characters;
using minijson_detail::next_string_stop;
using minijson_detail::not_hex;

constexpr unsigned char array_open = '[';
constexpr unsigned char object_open = '{';
constexpr unsigned char record_separator = 0x1E;

// Turns the opening bracket of a level into the mode after a comma in it.
constexpr uint32_t after_comma = 0x61;
static_assert((array_open ^ after_comma) == MINIJSON_MODE_VALUE &&
              (object_open ^ after_comma) == MINIJSON_MODE_NAME);

// String text: finds the closing quote, checks escapes and control bytes,
// and counts the decoded length.
enum class string_scan_result {
  complete,  // the closing quote was found; `at` is just past it
  more,  // the text ends inside the string; `at` is where to go on
  bad,  // a control byte or a malformed escape at `at`
};

// Scans string text from `at` (just past the opening quote, or where an
// earlier scan stopped). `saved` grows by the bytes that escapes save, so
// the decoded length is the raw length minus `saved`. An escape cut off by
// the end of the text is left for the next scan: `at` stays on its backslash.
string_scan_result scan_string(const char* text, size_t length, size_t& at, size_t& saved) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t p = at;
  for (;;) {
    p = next_string_stop(bytes, p, length);
    if (p >= length) {
      at = p;
      return string_scan_result::more;
    }
    const unsigned char c = bytes[p];
    if (c == '"') {
      at = p + 1;
      return string_scan_result::complete;
    }
    if (c != '\\') {
      at = p;
      return string_scan_result::bad;
    }
    if (p + 1 >= length) {
      at = p;
      return string_scan_result::more;
    }
    const unsigned char kind = bytes[p + 1];
    if (characters.unescape[kind] != 0) {
      saved += 1;
      p += 2;
      continue;
    }
    if (kind != 'u') {
      at = p + 1;
      return string_scan_result::bad;
    }
    unsigned code = 0;
    for (size_t k = 2; k < 6; ++k) {
      if (p + k >= length) {
        at = p;
        return string_scan_result::more;
      }
      const unsigned digit = characters.hex[bytes[p + k]];
      if (digit == not_hex) {
        at = p + k;
        return string_scan_result::bad;
      }
      code = code * 16 + digit;
    }
    saved += code < 0x80 ? 5 : code < 0x800 ? 4 : 3;
    p += 6;
  }
}

// Numbers: decimal, octal (leading zero) and hexadecimal (0x) integers,
// fractions in the same base (decimal after a lone zero), "e" exponents for
// decimal and "p" exponents for hexadecimal numbers, an optional "-" or "+"
// sign.
enum class number_scan_result {
  number,  // a complete number ends at `end`
  not_a_number,  // the token is no number
  more,  // the text ends inside what may still become a number
  overflow,  // the integer digits do not fit into 64 bits
};

struct number_token {
  uint32_t type;  // MINIJSON_INTEGER or MINIJSON_REAL
  int64_t integer;
  double real;
  size_t end;  // offset just past the number
  bool signed_token;  // a sign came first
};

constexpr int64_t exponent_clamp = 100000;  // far beyond any finite double

long double power_of_ten(int64_t exponent) {
  // Exact up to 10^27 in the 64-bit mantissa of long double.
  static constexpr long double exact[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                          1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                          1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                          1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
  if (exponent < static_cast<int64_t>(sizeof exact / sizeof exact[0])) return exact[exponent];
  return std::pow(10.0L, static_cast<long double>(exponent));
}

double decimal_value(uint64_t mantissa, int64_t exponent) {
  if (mantissa == 0) return 0.0;
  // Both factors exact in a double: one correctly rounded operation.
  static constexpr double exact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (mantissa <= (uint64_t{1} << 53) && exponent >= -22 && exponent <= 22) {
    const double m = static_cast<double>(mantissa);
    return exponent >= 0 ? m * exact[exponent] : m / exact[-exponent];
  }
  long double value = static_cast<long double>(mantissa);
  if (exponent >= 0)
    value *= power_of_ten(exponent);
  else
    value /= power_of_ten(-exponent);
  return static_cast<double>(value);
}

// Scans the number starting at text[start]. at_end_is_open: a number that
// runs to `length` may go on (a resumable parse). want_value: compute the
// value (otherwise only the syntax, the type and the end are found).
number_scan_result scan_number(const char* text, size_t length, size_t start, bool at_end_is_open,
                               bool want_value, number_token* token) {
  const auto byte = [text](size_t at) { return static_cast<unsigned char>(text[at]); };
  const auto ran_out = [&](size_t at) {
    return at >= length
        ? (at_end_is_open ? number_scan_result::more : number_scan_result::not_a_number)
        : number_scan_result::not_a_number;
  };
  size_t p = start;
  bool negative = false;
  token->signed_token = false;
  if (byte(p) == '-' || byte(p) == '+') {
    negative = byte(p) == '-';
    token->signed_token = true;
    ++p;
    if (p == length) return ran_out(p);
  }

  unsigned base = 10;
  unsigned fraction_base = 10;
  size_t integer_digits = 0;
  bool lone_zero = false;
  if (byte(p) == '0') {
    ++p;
    if (p < length && (byte(p) | 0x20u) == 'x') {
      base = fraction_base = 16;
      ++p;
    } else if (p < length && byte(p) >= '0' && byte(p) <= '7') {
      base = fraction_base = 8;
      integer_digits = 1;
    } else {
      integer_digits = 1;
      lone_zero = true;
    }
  }

  uint64_t integer = 0;
  for (; !lone_zero && p < length; ++p) {
    const unsigned d = characters.hex[byte(p)];
    if (d >= base) break;
    if (integer > (UINT64_MAX - d) / base) return number_scan_result::overflow;
    integer = integer * base + d;
    ++integer_digits;
  }

  bool is_real = false;
  uint64_t mantissa = integer;
  int64_t fraction_digits = 0;  // digits that went into the mantissa
  size_t fraction_seen = 0;
  if (p < length && byte(p) == '.') {
    is_real = true;
    ++p;
    for (; p < length; ++p) {
      const unsigned d = characters.hex[byte(p)];
      if (d >= fraction_base) break;
      ++fraction_seen;
      if (mantissa <= (UINT64_MAX - d) / fraction_base) {
        mantissa = mantissa * fraction_base + d;
        ++fraction_digits;
      }
    }
  }
  if (integer_digits == 0 && fraction_seen == 0) return ran_out(p);

  int64_t exponent = 0;
  if (p < length) {
    const unsigned letter = byte(p) | 0x20u;
    const bool decimal_exponent = letter == 'e' && fraction_base == 10;
    const bool binary_exponent = letter == 'p' && base == 16;
    if (decimal_exponent || binary_exponent) {
      is_real = true;
      ++p;
      bool exponent_negative = false;
      if (p < length && (byte(p) == '-' || byte(p) == '+')) {
        exponent_negative = byte(p) == '-';
        ++p;
      }
      size_t exponent_digits = 0;
      for (; p < length && byte(p) >= '0' && byte(p) <= '9'; ++p, ++exponent_digits) {
        if (exponent < exponent_clamp) exponent = exponent * 10 + (byte(p) - '0');
      }
      if (exponent_digits == 0) return ran_out(p);
      if (exponent_negative) exponent = -exponent;
    } else if (letter == 'e' || letter == 'p') {
      return number_scan_result::not_a_number;  // an exponent letter of another base
    }
  }
  if (p == length && at_end_is_open) return number_scan_result::more;

  token->end = p;
  if (!is_real && (integer <= INT64_MAX || (negative && integer == uint64_t{1} << 63))) {
    token->type = MINIJSON_INTEGER;
    token->integer = negative ? static_cast<int64_t>(~integer + 1) : static_cast<int64_t>(integer);
    return number_scan_result::number;
  }
  // Integers of 2^63 and more are kept as reals.
  token->type = MINIJSON_REAL;
  if (!want_value) return number_scan_result::number;
  double value;
  if (fraction_base == 10) {
    value = decimal_value(mantissa, exponent - fraction_digits);
  } else {
    const int64_t bits = fraction_base == 16 ? 4 : 3;
    const int64_t shift = exponent - fraction_digits * bits;
    const int clamped = static_cast<int>(shift < -exponent_clamp      ? -exponent_clamp
                                             : shift > exponent_clamp ? exponent_clamp
                                                                      : shift);
    value = static_cast<double>(std::ldexp(static_cast<long double>(mantissa), clamped));
  }
  token->real = negative ? -value : value;
  return number_scan_result::number;
}

bool is_valid_mode(uint32_t mode) {
  return mode == MINIJSON_MODE_VALUE || mode == MINIJSON_MODE_NAME || mode == MINIJSON_MODE_COLON ||
      mode == MINIJSON_MODE_AFTER_VALUE;
}

size_t distance(const char* from, const char* to) {
  return static_cast<size_t>(reinterpret_cast<uintptr_t>(to) - reinterpret_cast<uintptr_t>(from));
}

bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

// Plain decimal numbers, the most common ones, without the general number
// scanner: zero or an integer of up to 18 digits without a leading zero,
// optionally with a fraction, 19 digits in all, and no exponent. Returns
// false to leave the token to scan_number, which gives the same type, value
// and end for every token taken here.
bool scan_plain_number(const unsigned char* bytes, size_t length, size_t start, bool want_value,
                       number_token* token) {
  size_t p = start;
  const bool negative = bytes[p] == '-';
  if (negative) ++p;
  if (p >= length || !is_digit(bytes[p])) return false;
  const size_t first = p;
  uint64_t magnitude = 0;
  if (bytes[p] == '0')
    ++p;
  else
    while (p < length && is_digit(bytes[p])) magnitude = magnitude * 10 + (bytes[p++] - '0');
  if (p >= length || p - first > 18) return false;
  const size_t integer_digits = p - first;
  unsigned char next = bytes[p];
  if (next != '.') {
    if (is_digit(next) || (next | 0x20u) == 'x' || (next | 0x20u) == 'e' || (next | 0x20u) == 'p')
      return false;
    token->type = MINIJSON_INTEGER;
    token->integer = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    token->end = p;
    return true;
  }
  const size_t point = p++;
  while (p < length && is_digit(bytes[p])) magnitude = magnitude * 10 + (bytes[p++] - '0');
  const size_t fraction_digits = p - point - 1;
  if (fraction_digits == 0 || p >= length || integer_digits + fraction_digits > 19) return false;
  next = bytes[p];
  if ((next | 0x20u) == 'e' || (next | 0x20u) == 'p') return false;
  token->type = MINIJSON_REAL;
  if (want_value) {
    const double value = decimal_value(magnitude, -static_cast<int64_t>(fraction_digits));
    token->real = negative ? -value : value;
  }
  token->end = p;
  return true;
}

size_t line_end_length(const char* text, size_t length, size_t offset) {
  if (offset >= length) return 0;
  if (text[offset] == '\n') return 1;
  if (text[offset] != '\r') return 0;
  return offset + 1 < length && text[offset + 1] == '\n' ? 2 : 1;
}

// One call of minijson_parse over text[position, length). The scanning state
// lives in locals and goes back into the context when the call returns.
int parse_text(const char* text, size_t* length_io, const minijson_parser_t* request,
               minijson_parse_context_t* context, bool resumable) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  const size_t length = *length_io;
  minijson_parse_data_t scratch{};
  minijson_parse_data_t* const data = request->data != nullptr ? request->data : &scratch;
  minijson_parse_data_t* const callback_data = request->data;
  const minijson_parse_callback callback = request->callback;
  const size_t report = request->depth;
  const bool line_mode = (request->flags & MINIJSON_PARSE_LINE) != 0;
  unsigned char* const stack = context->stack;

  uint32_t mode = context->mode;
  size_t depth = context->depth;
  size_t at = context->position;
  uint32_t flags = context->flags;

  const auto stop = [&](int result, size_t offset) {
    context->mode = mode;
    context->depth = depth;
    context->position = at;
    context->flags = flags;
    *length_io = offset;
    return result;
  };
  const auto call = [&]() {
    const int kind =
        (flags & MINIJSON_KEY_SEEN) != 0 ? MINIJSON_KIND_MEMBER : MINIJSON_KIND_ELEMENT;
    flags &= ~MINIJSON_KEY_SEEN;
    return callback != nullptr ? callback(kind, callback_data) : 0;
  };
  // A comma straight after a value inside a container, taken here rather
  // than on the next turn of the loop (as the case ',' below would take it).
  const auto take_comma = [&]() __attribute__((always_inline)) {
    if (at >= length || bytes[at] != ',' || depth == 0) return;
    if (depth == report + 1) {
      data->count += 1;
      flags &= ~MINIJSON_ELEMENT_DONE;
    }
    mode = stack[depth - 1] ^ after_comma;
    ++at;
  };
  // A finished scalar token ending at `end`; nonzero stops the parse. The
  // colon after a name and a comma after a value are taken with it.
  const auto finish_scalar = [&](bool is_name, size_t end) __attribute__((always_inline)) {
    at = end;
    flags |= MINIJSON_ELEMENT_DONE;
    if (is_name) {
      if (depth == report) flags |= MINIJSON_KEY_SEEN;
      mode = MINIJSON_MODE_COLON;
      if (at < length && bytes[at] == ':') {
        mode = MINIJSON_MODE_VALUE;
        ++at;
      }
      return 0;
    }
    mode = MINIJSON_MODE_AFTER_VALUE;
    const int result = depth == report ? call() : 0;
    if (result == 0) take_comma();
    return result;
  };

  // The lengths of the reported string: its decoded length so far while it
  // is cut off by the end of the text, then its raw and decoded lengths.
  const auto note_decoded = [&](bool is_name, size_t decoded) __attribute__((always_inline)) {
    if (is_name)
      data->key_decoded_length = decoded;
    else
      data->count = decoded;
  };
  const auto note_string = [&](bool is_name, size_t raw, size_t decoded)
      __attribute__((always_inline)) {
    if (is_name)
      data->key_length = raw;
    else
      data->length = raw;
    note_decoded(is_name, decoded);
  };

  // Goes on with a string whose opening quote is behind `at`.
  const auto continue_string = [&]() __attribute__((always_inline)) {
    const bool is_name = mode == MINIJSON_MODE_NAME;
    const bool reported = depth == report;
    const int error = is_name ? MINIJSON_WRONG_KEY : MINIJSON_WRONG_VALUE;
    const char* start = is_name ? data->key : data->value.text;
    size_t saved = 0;
    if (reported)
      saved = distance(start, text + at) - (is_name ? data->key_decoded_length : data->count);
    size_t p = at;
    switch (scan_string(text, length, p, saved)) {
      case string_scan_result::complete:
        break;
      case string_scan_result::more:
        if (!resumable) return stop(error, length);
        at = p;
        if (reported) note_decoded(is_name, distance(start, text + p) - saved);
        return stop(MINIJSON_UNFINISHED, at);
      case string_scan_result::bad:
        return stop(error, p);
    }
    flags &= ~MINIJSON_IN_STRING;
    if (reported) {
      const size_t raw = distance(start, text + p) - 1;
      note_string(is_name, raw, raw - saved);
    }
    const int result = finish_scalar(is_name, p);
    return result != 0 ? stop(result, at) : 0;
  };

  if ((flags & MINIJSON_IN_STRING) != 0) {
    const int result = continue_string();
    if (result != 0) return result;
  }

  while (at < length) {
    const unsigned char c = bytes[at];
    switch (c) {
      case ' ':
      case '\t':
        ++at;
        continue;
      case '\n':
      case '\r':
        if (!line_mode) {
          ++at;
          continue;
        }
        if (depth > 0) return stop(MINIJSON_ILLEGAL_FORMAT, at);
        at += line_end_length(text, length, at);
        mode = MINIJSON_MODE_AFTER_VALUE;
        return stop(MINIJSON_OK, at);
      case '[':
      case '{':
        if (mode != MINIJSON_MODE_VALUE) return stop(MINIJSON_ILLEGAL_FORMAT, at);
        if (depth >= MINIJSON_MAX_DEPTH) return stop(MINIJSON_TOO_DEEP, at);
        stack[depth++] = c;
        mode = c == object_open ? MINIJSON_MODE_NAME : MINIJSON_MODE_VALUE;
        if (depth == report + 1) {
          data->type = c == object_open ? MINIJSON_OBJECT : MINIJSON_ARRAY;
          data->value.text = text + at;
          data->length = at;  // the opening offset until the close
          data->count = 0;
          flags &= ~MINIJSON_ELEMENT_DONE;
        }
        ++at;
        continue;
      case ']':
      case '}': {
        if (depth == 0) return stop(MINIJSON_ILLEGAL_FORMAT, at);
        const unsigned char open = stack[depth - 1];
        const bool allowed = c == ']' ? open == array_open &&
                (mode == MINIJSON_MODE_VALUE || mode == MINIJSON_MODE_AFTER_VALUE)
                                      : open == object_open &&
                (mode == MINIJSON_MODE_NAME || mode == MINIJSON_MODE_AFTER_VALUE);
        if (!allowed) return stop(MINIJSON_ILLEGAL_FORMAT, at);
        --depth;
        int result = 0;
        if (depth == report) {
          // Commas counted the elements before them; the last one counts
          // if it is there (a trailing comma adds none).
          if ((flags & MINIJSON_ELEMENT_DONE) != 0) data->count += 1;
          data->length = at - data->length + 1;
          result = call();
        }
        flags |= MINIJSON_ELEMENT_DONE;
        mode = MINIJSON_MODE_AFTER_VALUE;
        ++at;
        if (depth == 0) {
          if (result == 0 && line_mode) at += line_end_length(text, length, at);
          return stop(result, at);
        }
        if (result != 0) return stop(result, at);
        take_comma();
        continue;
      }
      case ',':
        if (mode != MINIJSON_MODE_AFTER_VALUE || depth == 0)
          return stop(MINIJSON_ILLEGAL_FORMAT, at);
        if (depth == report + 1) {
          data->count += 1;
          flags &= ~MINIJSON_ELEMENT_DONE;
        }
        mode = stack[depth - 1] ^ after_comma;
        ++at;
        continue;
      case ':':
        if (mode != MINIJSON_MODE_COLON) return stop(MINIJSON_ILLEGAL_FORMAT, at);
        mode = MINIJSON_MODE_VALUE;
        ++at;
        continue;
      case '"': {
        if (mode != MINIJSON_MODE_VALUE && mode != MINIJSON_MODE_NAME)
          return stop(MINIJSON_ILLEGAL_FORMAT, at);
        if (depth == report) {
          if (mode == MINIJSON_MODE_NAME) {
            data->key = text + at + 1;
            data->key_decoded_length = 0;
          } else {
            data->type = MINIJSON_STRING;
            data->value.text = text + at + 1;
            data->count = 0;
          }
        }
        // Most strings hold no escape: the first stop is the closing quote.
        // Otherwise the string goes on from that stop, with nothing saved yet.
        const bool is_name = mode == MINIJSON_MODE_NAME;
        const size_t from = at + 1;
        const size_t first_stop = next_string_stop(bytes, from, length);
        if (first_stop < length && bytes[first_stop] == '"') {
          if (depth == report) note_string(is_name, first_stop - from, first_stop - from);
          const int result = finish_scalar(is_name, first_stop + 1);
          if (result != 0) return stop(result, at);
          continue;
        }
        if (depth == report) note_decoded(is_name, first_stop - from);
        flags |= MINIJSON_IN_STRING;
        at = first_stop;
        const int result = continue_string();
        if (result != 0) return result;
        continue;
      }
      default:
        break;
    }

    // Any other byte starts a scalar token: a name must be a string, a value
    // is a literal, a number or a string.
    if (mode == MINIJSON_MODE_NAME) return stop(MINIJSON_WRONG_KEY, at);
    if (mode != MINIJSON_MODE_VALUE) return stop(MINIJSON_ILLEGAL_FORMAT, at);
    const bool reported = depth == report;
    if (c == 't' || c == 'f' || c == 'n') {
      const char* word = c == 't' ? "true" : c == 'f' ? "false" : "null";
      const size_t size = c == 'f' ? 5 : 4;
      const size_t left = length - at;
      if (left >= size && std::memcmp(text + at, word, size) == 0) {
        if (reported) {
          data->type = MINIJSON_LITERAL;
          data->value.integer = c == 't' ? 1 : c == 'f' ? 0 : -1;
          data->length = size;
          data->count = 0;
        }
        const int result = finish_scalar(false, at + size);
        if (result != 0) return stop(result, at);
        continue;
      }
      if (left < size && resumable && std::memcmp(text + at, word, left) == 0)
        return stop(MINIJSON_UNFINISHED, at);
      return stop(MINIJSON_WRONG_VALUE, at);
    }

    number_token token;
    const number_scan_result scanned = scan_plain_number(bytes, length, at, reported, &token)
        ? number_scan_result::number
        : scan_number(text, length, at, resumable, reported, &token);
    switch (scanned) {
      case number_scan_result::number:
        break;
      case number_scan_result::more:
        return stop(MINIJSON_UNFINISHED, at);
      case number_scan_result::overflow:
        // With a sign in front, the sign alone would be the number and the
        // digits after it are out of place.
        if (token.signed_token) return stop(MINIJSON_ILLEGAL_FORMAT, at + 1);
        return stop(MINIJSON_WRONG_VALUE, at);
      case number_scan_result::not_a_number:
        return stop(MINIJSON_WRONG_VALUE, at);
    }
    if (reported) {
      data->type = token.type;
      if (token.type == MINIJSON_INTEGER)
        data->value.integer = token.integer;
      else
        data->value.real = token.real;
      data->length = token.end - at;
      data->count = 0;
    }
    const int result = finish_scalar(false, token.end);
    if (result != 0) return stop(result, at);
  }
  if (mode == MINIJSON_MODE_AFTER_VALUE && depth == 0) return stop(MINIJSON_OK, at);
  return stop(MINIJSON_UNFINISHED, at);
}

}  // namespace

int minijson_parse(const char* buffer, size_t* length, const minijson_parser_t* request) {
  if (length == nullptr || request == nullptr) return MINIJSON_WRONG_CALL;
  minijson_parse_context_t temporary;
  minijson_parse_context_t* context = request->context != nullptr ? request->context : &temporary;
  if (request->context == nullptr || context->mode == MINIJSON_MODE_FRESH) {
    context->mode = MINIJSON_MODE_VALUE;
    context->depth = 0;
    context->position = 0;
    context->flags = 0;
  }
  if (context->position > *length) return MINIJSON_WRONG_CALL;
  if (*length == 0) return MINIJSON_OK;
  if (buffer == nullptr) return MINIJSON_WRONG_CALL;
  if (!is_valid_mode(context->mode) || context->depth > MINIJSON_MAX_DEPTH)
    return MINIJSON_WRONG_CALL;

  if ((request->flags & MINIJSON_PARSE_SEPARATOR) != 0 &&
      (context->flags & MINIJSON_SEPARATOR_SEEN) == 0) {
    const size_t from = context->position;
    const void* found = std::memchr(buffer + from, record_separator, *length - from);
    if (found == nullptr) {
      context->position = *length;
      return MINIJSON_UNFINISHED;
    }
    context->position = distance(buffer, static_cast<const char*>(found)) + 1;
    context->flags |= MINIJSON_SEPARATOR_SEEN;
  }
  return parse_text(buffer, length, request, context, request->context != nullptr);
}
