#include "bench/rapidjson_walk.hpp"

#include <rapidjson/reader.h>

namespace {

struct touching_handler : rapidjson::BaseReaderHandler<rapidjson::UTF8<>, touching_handler> {
  walk_totals* totals;
  explicit touching_handler(walk_totals* t) : totals(t) {}
  bool Null() { return integer(-1); }
  bool Bool(bool b) { return integer(b ? 1 : 0); }
  bool Int(int i) { return integer(i); }
  bool Uint(unsigned u) { return integer(u); }
  bool Int64(int64_t i) { return integer(i); }
  bool Uint64(uint64_t u) { return integer(static_cast<int64_t>(u)); }
  bool Double(double d) {
    ++totals->values;
    totals->reals += d;
    return true;
  }
  bool String(const char*, rapidjson::SizeType length, bool) {
    ++totals->values;
    totals->string_bytes += length;
    return true;
  }
  bool Key(const char*, rapidjson::SizeType length, bool) {
    totals->string_bytes += length;
    return true;
  }
  bool StartObject() { return true; }
  bool EndObject(rapidjson::SizeType) { return container(); }
  bool StartArray() { return true; }
  bool EndArray(rapidjson::SizeType) { return container(); }

 private:
  bool integer(int64_t v) {
    ++totals->values;
    totals->integers += v;
    return true;
  }
  bool container() {
    ++totals->values;
    return true;
  }
};

}  // namespace

bool rapidjson_walk(const char* text, walk_totals* totals) {
  touching_handler handler(totals);
  rapidjson::Reader reader;
  rapidjson::StringStream stream(text);
  return !reader.Parse(stream, handler).IsError();
}
