// Visits every value of a JSON text with the codec's parser, the way its
// consumers do: the members of one level, then each container's text again
// one level down; keys and strings are unescaped into a scratch buffer.
#pragma once

#include <cstddef>
#include <cstdint>

struct walk_totals {
  uint64_t values = 0;
  uint64_t string_bytes = 0;
  int64_t integers = 0;
  double reals = 0;
};

// scratch needs room for the longest string. Returns the parser's result.
int minijson_walk(const char* text, size_t length, char* scratch, walk_totals* totals);

// One pass over the text, as the receive thread makes it: every byte is
// checked, the members of the top level are reported, their keys and
// strings unescaped, containers taken as text.
int minijson_one_pass(const char* text, size_t length, char* scratch, walk_totals* totals);

// The same one pass, resumable, fed pieces of `piece` bytes as they arrive
// from the serial line, in line mode.
int minijson_one_pass_in_pieces(const char* text, size_t length, size_t piece, char* scratch,
                                walk_totals* totals);
