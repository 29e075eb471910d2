// Runs the parser and records every callback as one line of text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codec/minijson_parser.h"

struct parse_outcome {
  int result = 0;
  size_t length = 0;
  std::vector<std::string> reports;
};

// One line per callback: kind, type, key (raw), value, length, count.
std::string describe_report(int kind, const minijson_parse_data_t& data);

// Parses text in one call; resumable selects a fresh context over none.
parse_outcome parse_whole(std::string_view text, size_t depth = 0, uint32_t flags = 0,
                          bool resumable = false, int callback_result = 0);

// Parses text resumably, handing over the first `split` bytes, then all.
parse_outcome parse_split(std::string_view text, size_t split, size_t depth = 0,
                          uint32_t flags = 0);

// Parses text resumably in pieces of `piece` bytes.
parse_outcome parse_in_pieces(std::string_view text, size_t piece, size_t depth = 0,
                              uint32_t flags = 0);
