// Delivery of text pieces through a minijson_writer_t (internal to the codec).
#pragma once

#include <cstddef>

#include "codec/minijson_writer.h"

// Hands length bytes to the writer's output: straight to the sink in
// unbuffered mode, through the caller's buffer otherwise. Empty pieces are
// not delivered. Returns 0 or the sink's nonzero result.
int minijson_emit(minijson_writer_t* writer, const void* data, size_t length);

// Context handed to generators: the caller's context when unbuffered, null
// when buffered.
void* minijson_generator_context(const minijson_writer_t* writer);

// Ends a write that produced result: on success delivers what is pending (or
// makes the end call) and returns the sink's result; on failure makes the
// abort call and returns result.
int minijson_finish(minijson_writer_t* writer, int result);
