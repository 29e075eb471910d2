#include "tests/codec/descriptor_tree.hpp"

#include <cmath>
#include <cstring>

#include "codec/minijson_text.h"

namespace {

constexpr int deepest = 14;  // container levels below the root

const minijson_value_t* produce(void*, uint64_t argument) {
  auto* list = reinterpret_cast<descriptor_tree::generated_list*>(static_cast<uintptr_t>(argument));
  if (list->next == list->values.size()) return nullptr;
  return &list->values[list->next++];
}

struct child_report {
  int kind;
  minijson_parse_data_t data;
};

struct child_collector : minijson_parse_data_t {
  std::vector<child_report>* children;
};

int collect(int kind, minijson_parse_data_t* data) {
  auto* self = static_cast<child_collector*>(data);
  self->children->push_back({kind, *data});
  return 0;
}

std::string unescaped(const char* text, size_t length, bool* ok) {
  std::string out(length, '\0');
  const size_t n = minijson_unescape(out.data(), text, length, 0);
  *ok = n != static_cast<size_t>(-1);
  out.resize(*ok ? n : 0);
  return out;
}

}  // namespace

descriptor_tree::descriptor_tree(const uint8_t* bytes, size_t size, size_t max_nodes)
    : bytes_(bytes), size_(size), max_nodes_(max_nodes) {
  build(0);
}

uint8_t descriptor_tree::next() { return used_ < size_ ? bytes_[used_++] : 0; }

uint64_t descriptor_tree::next_word() {
  uint64_t word = 0;
  for (int i = 0; i < 8; ++i) word = (word << 8) | next();
  return word;
}

std::string descriptor_tree::next_bytes(bool allow_nul) {
  const size_t length = next() % 24;
  std::string out;
  for (size_t i = 0; i < length; ++i) {
    char c = static_cast<char>(next());
    if (c == 0 && !allow_nul) c = 'z';
    out.push_back(c);
  }
  return out;
}

size_t descriptor_tree::build(int depth) {
  const size_t index = nodes_.size();
  nodes_.emplace_back();
  unsigned choice = next() % 12;
  if (choice >= 8 && (depth >= deepest || nodes_.size() >= max_nodes_)) choice = 0;
  // Fill the node after building the children: nodes_ is a deque, so the
  // reference stays valid while children are appended.
  node& n = nodes_[index];
  switch (choice) {
    case 0:
      n.value = minijson_integer(static_cast<int64_t>(next_word()));
      break;
    case 1:
      n.value = minijson_hex(next_word() >> (next() % 64));
      break;
    case 2:
      n.value = minijson_bool(static_cast<int8_t>(next()));
      break;
    case 3:
      n.value = minijson_null();
      break;
    case 4:
      n.bytes = next_bytes(true);
      n.value = minijson_string_n(n.bytes.data(), static_cast<uint32_t>(n.bytes.size()));
      break;
    case 5:
      n.bytes = next_bytes(false);
      n.value = minijson_string(n.bytes.c_str());
      break;
    case 6: {
      uint64_t bits = next_word();
      double real;
      std::memcpy(&real, &bits, sizeof real);
      if (!std::isfinite(real)) real = static_cast<double>(static_cast<int64_t>(bits)) / 1024.0;
      n.value = minijson_real(real);
      break;
    }
    case 7:
      n.bytes = next_bytes(true);
      n.value = minijson_binary(n.bytes.data(), static_cast<uint32_t>(n.bytes.size()));
      break;
    case 8:
    case 9: {
      const bool counted = choice == 8;
      const size_t count = next() % 6;
      std::vector<minijson_value_t> elements;
      std::vector<size_t> children;
      for (size_t i = 0; i < count; ++i) {
        if (next() % 5 == 0) {  // a generator standing for several elements
          generated_list& list = generated_.emplace_back();
          const size_t produced = next() % 4;
          for (size_t k = 0; k < produced; ++k) {
            const size_t child = build(depth + 1);
            list.values.push_back(nodes_[child].value);
            children.push_back(child);
          }
          elements.push_back(minijson_generated(produce, reinterpret_cast<uintptr_t>(&list)));
        } else {
          const size_t child = build(depth + 1);
          elements.push_back(nodes_[child].value);
          children.push_back(child);
        }
      }
      if (!counted) elements.push_back(minijson_end());
      std::vector<minijson_value_t>& stored = arrays_.emplace_back(std::move(elements));
      node& filled = nodes_[index];
      filled.children = std::move(children);
      filled.value = counted ? minijson_array_n(stored.data(), static_cast<uint32_t>(count))
                             : minijson_array(stored.data());
      filled.code = MINIJSON_TYPE_ARRAY;
      return index;
    }
    default: {
      const bool counted = choice == 10;
      const size_t count = next() % 6;
      std::vector<std::string> names;
      std::vector<size_t> children;
      for (size_t i = 0; i < count; ++i) {
        names.push_back(next_bytes(false));
        children.push_back(build(depth + 1));
      }
      node& filled = nodes_[index];
      filled.names = std::move(names);
      filled.children = std::move(children);
      std::vector<minijson_member_t>& stored = members_.emplace_back();
      stored.reserve(count + 1);  // an object needs a member pointer even when empty
      for (size_t i = 0; i < count; ++i)
        stored.push_back(
            minijson_member(filled.names[i].c_str(), nodes_[filled.children[i]].value));
      if (!counted) stored.push_back(minijson_member_end());
      filled.value = counted ? minijson_object_n(stored.data(), static_cast<uint32_t>(count))
                             : minijson_object(stored.data());
      filled.code = MINIJSON_TYPE_OBJECT;
      return index;
    }
  }
  nodes_[index].code =
      nodes_[index].value.type < 0 ? -nodes_[index].value.type : nodes_[index].value.type;
  return index;
}

void descriptor_tree::rewind() {
  for (generated_list& list : generated_) list.next = 0;
}

std::string descriptor_tree::mismatch(std::string_view text) const {
  child_collector top{};
  std::vector<child_report> reports;
  top.children = &reports;
  size_t length = text.size();
  const minijson_parser_t request{collect, &top, 0, 0, nullptr};
  const int result = minijson_parse(text.data(), &length, &request);
  if (result != 0)
    return "parse result " + std::to_string(result) + " at " + std::to_string(length);
  if (length != text.size())
    return "parsed " + std::to_string(length) + " of " + std::to_string(text.size());
  if (reports.size() != 1) return "reports at the top: " + std::to_string(reports.size());
  return compare(nodes_[0], reports[0].data);
}

std::string descriptor_tree::compare(const node& expected, const minijson_parse_data_t& got) const {
  const auto type_is = [&](uint32_t type) { return got.type == type; };
  switch (expected.code) {
    case MINIJSON_TYPE_INTEGER:
      if (type_is(MINIJSON_INTEGER) && got.value.integer == expected.value.value.integer) return {};
      return "integer " + std::to_string(expected.value.value.integer);
    case MINIJSON_TYPE_HEX: {
      const uint64_t want = expected.value.value.unsigned_integer;
      if (want <= INT64_MAX && type_is(MINIJSON_INTEGER) &&
          static_cast<uint64_t>(got.value.integer) == want)
        return {};
      if (want > INT64_MAX && type_is(MINIJSON_REAL) && got.value.real == static_cast<double>(want))
        return {};
      return "hex " + std::to_string(want);
    }
    case MINIJSON_TYPE_BOOL: {
      const int64_t tri = expected.value.value.integer;
      const int64_t want = tri == 0 ? 0 : tri > 0 ? 1 : -1;
      if (type_is(MINIJSON_LITERAL) && got.value.integer == want) return {};
      return "bool " + std::to_string(tri);
    }
    case MINIJSON_TYPE_NULL:
      if (type_is(MINIJSON_LITERAL) && got.value.integer == -1) return {};
      return "null";
    case MINIJSON_TYPE_STRING: {
      if (!type_is(MINIJSON_STRING)) return "string type";
      bool ok = false;
      const std::string decoded = unescaped(got.value.text, got.length, &ok);
      if (!ok || decoded != expected.bytes || got.count != decoded.size())
        return "string " + expected.bytes;
      return {};
    }
    case MINIJSON_TYPE_BINARY: {
      if (!type_is(MINIJSON_STRING)) return "binary type";
      std::string decoded(got.length, '\0');
      size_t count = 0;
      size_t length = got.length;
      const int result = minijson_base64_decode(reinterpret_cast<unsigned char*>(decoded.data()),
                                                &count, got.value.text, &length);
      decoded.resize(count);
      if (result != 0 || decoded != expected.bytes)
        return "binary of " + std::to_string(expected.bytes.size());
      return {};
    }
    case MINIJSON_TYPE_REAL: {
      const double want = expected.value.value.real;
      if (!type_is(MINIJSON_REAL)) return "real type";
      // The rendering ends a mantissa at five zeros or nines in a row, so
      // a value may come back rounded in its sixth significant digit.
      const double tolerance = std::fabs(want) * 1e-5;
      if (want == 0 ? got.value.real == 0 : std::fabs(got.value.real - want) <= tolerance)
        return {};
      return "real " + std::to_string(want);
    }
    default:
      break;
  }
  const bool object = expected.code == MINIJSON_TYPE_OBJECT;
  if (!type_is(object ? MINIJSON_OBJECT : MINIJSON_ARRAY)) return "container type";
  if (got.count != expected.children.size()) return "container count " + std::to_string(got.count);
  child_collector inner{};
  std::vector<child_report> children;
  inner.children = &children;
  size_t length = got.length;
  const minijson_parser_t request{collect, &inner, 1, 0, nullptr};
  if (minijson_parse(got.value.text, &length, &request) != 0) return "container text";
  if (children.size() != expected.children.size())
    return "children " + std::to_string(children.size());
  for (size_t i = 0; i < children.size(); ++i) {
    if (object) {
      bool ok = false;
      const child_report& c = children[i];
      if (c.kind != MINIJSON_KIND_MEMBER) return "member kind";
      if (unescaped(c.data.key, c.data.key_length, &ok) != expected.names[i] || !ok)
        return "member name";
    } else if (children[i].kind != MINIJSON_KIND_ELEMENT) {
      return "element kind";
    }
    std::string why = compare(nodes_[expected.children[i]], children[i].data);
    if (!why.empty()) return why;
  }
  return {};
}
