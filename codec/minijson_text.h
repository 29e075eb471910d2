// Turning JSON string text and base64 text back into bytes.
#pragma once

#include <cstddef>

// Decodes the escapes of length bytes of raw string text (as between the
// quotes) into destination, which may be source itself. Returns the bytes
// written; in strict mode (lenient 0) (size_t)-1 for malformed text, in
// lenient mode every malformed piece becomes one 0xFF byte.
size_t minijson_unescape(char* destination, const char* source, size_t length, int lenient);

// Decodes *length characters of padded base64 into destination (room for
// three bytes per four characters). *count receives the bytes written and
// *length the offset where decoding stopped. Returns 0, -1 (malformed) or
// -2 (padding missing; the bytes decoded are valid).
int minijson_base64_decode(unsigned char* destination, size_t* count, const char* source,
                           size_t* length);
