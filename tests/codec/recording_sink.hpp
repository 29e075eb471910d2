// A writer sink that keeps every piece and the end/abort calls.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "codec/minijson_writer.h"

struct recording_sink {
  std::string text;
  std::vector<std::string> pieces;
  std::vector<const void*> piece_contexts;
  int end_calls = 0;
  int abort_calls = 0;
  const void* last_end_context = nullptr;
  int fail_on_piece = -1;  // piece index whose delivery fails
  int failure = 0;
  int refused_calls = 0;  // deliveries answered with failure (more than one: the writer went on)
  int end_result = 0;

  static int sink(void* context, const void* data, size_t length);
};

struct write_outcome {
  int result;
  std::string text;
  recording_sink sink;
};

write_outcome write_unbuffered(const minijson_value_t& root, unsigned flags = 0);
