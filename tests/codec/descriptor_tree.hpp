// A random descriptor tree built from a stream of bytes, and the check that
// a text written from it parses back to the same values. Shared by the round
// trip test and the writer fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "codec/minijson_parser.h"
#include "codec/minijson_writer.h"

class descriptor_tree {
 public:
  // Builds a tree of at most max_nodes values, nested less than 16 deep,
  // from bytes; running out of bytes reads zeros.
  descriptor_tree(const uint8_t* bytes, size_t size, size_t max_nodes = 200);
  descriptor_tree(const descriptor_tree&) = delete;
  descriptor_tree& operator=(const descriptor_tree&) = delete;

  // The root descriptor; call rewind() before each write so that generators
  // start over.
  const minijson_value_t& root() const { return nodes_[0].value; }
  void rewind();

  // Empty when text (without framing) holds the tree's values, otherwise
  // what differs.
  std::string mismatch(std::string_view text) const;

  // Generated values: the list travels in the generator's argument word.
  struct generated_list {
    std::vector<minijson_value_t> values;
    size_t next = 0;
  };

 private:
  struct node {
    minijson_value_t value{};
    int32_t code = 0;  // positive type code
    std::string bytes;  // string or binary content
    std::vector<size_t> children;  // node indexes, generated values flattened in
    std::vector<std::string> names;  // member names of an object
  };

  size_t build(int depth);
  uint8_t next();
  uint64_t next_word();
  std::string next_bytes(bool allow_nul);
  std::string compare(const node& expected, const minijson_parse_data_t& got) const;

  const uint8_t* bytes_;
  size_t size_;
  size_t used_ = 0;
  size_t max_nodes_;
  std::deque<node> nodes_;
  std::deque<std::vector<minijson_value_t>> arrays_;
  std::deque<std::vector<minijson_member_t>> members_;
  std::deque<generated_list> generated_;
};
