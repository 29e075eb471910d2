// Visits every value of a set of JSON texts with simdjson's on-demand
// parser: the SIMD reference the codec's figures are read against. Its
// source is built for AVX2 (simdjson's on-demand code is the one its
// compiler flags select), so nothing of simdjson shows in this header and
// the walk runs only where the processor has AVX2.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "bench/minijson_walk.hpp"

class simdjson_walker {
 public:
  // Keeps padded copies of the texts.
  explicit simdjson_walker(const std::vector<std::string>& texts);
  ~simdjson_walker();
  simdjson_walker(const simdjson_walker&) = delete;
  simdjson_walker& operator=(const simdjson_walker&) = delete;

  // Whether this processor runs the code the walk was built for.
  static bool available();

  // Walks text `index`; true when it was accepted.
  bool walk(size_t index, walk_totals* totals);
  size_t size() const;

 private:
  struct state;
  std::unique_ptr<state> state_;
};
