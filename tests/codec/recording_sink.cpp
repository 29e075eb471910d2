#include "tests/codec/recording_sink.hpp"

int recording_sink::sink(void* context, const void* data, size_t length) {
  recording_sink* self = static_cast<recording_sink*>(context);
  if (data == nullptr) {
    if (length == 0) {
      ++self->end_calls;
      self->last_end_context = context;
      return self->end_result;
    }
    ++self->abort_calls;
    self->last_end_context = context;
    return 0;
  }
  if (static_cast<int>(self->pieces.size()) == self->fail_on_piece) {
    ++self->refused_calls;
    return self->failure;
  }
  self->pieces.emplace_back(static_cast<const char*>(data), length);
  self->piece_contexts.push_back(context);
  self->text.append(static_cast<const char*>(data), length);
  return 0;
}

write_outcome write_unbuffered(const minijson_value_t& root, unsigned flags) {
  write_outcome outcome{};
  outcome.result = minijson_write(&outcome.sink, recording_sink::sink, flags, &root);
  outcome.text = outcome.sink.text;
  return outcome;
}
