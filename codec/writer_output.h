// Delivery of text pieces through a minijson_writer_t (internal to the codec).
#pragma once

#include <cstddef>
#include <cstring>

#include "codec/minijson_writer.h"

// The general case of minijson_emit: unbuffered output, or a piece that
// fills the buffer.
int minijson_emit_through_sink(minijson_writer_t* writer, const void* data, size_t length);

// Hands length bytes to the writer's output: straight to the sink in
// unbuffered mode, through the caller's buffer otherwise. Empty pieces are
// not delivered. Returns 0 or the sink's nonzero result.
inline int minijson_emit(minijson_writer_t* writer, const void* data, size_t length) {
  if (length < writer->room) {  // buffered, and the buffer does not fill up
    char* at = static_cast<char*>(writer->position);
    if (length == 1) *at = *static_cast<const char*>(data);
    else std::memcpy(at, data, length);
    writer->position = at + length;
    writer->room -= length;
    return 0;
  }
  return minijson_emit_through_sink(writer, data, length);
}

// Context handed to generators: the caller's context when unbuffered, null
// when buffered.
void* minijson_generator_context(const minijson_writer_t* writer);

// Ends a write that produced result: on success delivers what is pending (or
// makes the end call) and returns the sink's result; on failure makes the
// abort call and returns result.
int minijson_finish(minijson_writer_t* writer, int result);
