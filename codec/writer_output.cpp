#include "codec/writer_output.h"

#include <cstring>

namespace {

constexpr size_t abort_length = static_cast<size_t>(-1);

char* buffer_start(const minijson_writer_t* writer) {
  return static_cast<char*>(writer->position) - (writer->capacity - writer->room);
}

size_t pending(const minijson_writer_t* writer) { return writer->capacity - writer->room; }

}  // namespace

int minijson_emit_through_sink(minijson_writer_t* writer, const void* data, size_t length) {
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

void* minijson_generator_context(const minijson_writer_t* writer) {
  return writer->capacity == 0 ? writer->position : nullptr;
}

int minijson_finish(minijson_writer_t* writer, int result) {
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
