// String and base64 output of the writer (internal to the codec).
#pragma once

#include <cstddef>

#include "codec/minijson_writer.h"

// Writes text as a quoted JSON string with escapes. counted: exactly length
// bytes, NUL bytes escaped; otherwise up to the first NUL.
int minijson_emit_string(minijson_writer_t* writer, const char* text, size_t length, bool counted);

// Writes length bytes as quoted, padded base64, in 16-character chunks.
int minijson_emit_base64(minijson_writer_t* writer, const unsigned char* bytes, size_t length);
