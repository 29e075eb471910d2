// A JSON text held twice, for writing: as a RapidJSON document and as the
// codec's descriptor tree (EDID strings as binary descriptors, encoded
// again by the writer).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "codec/minijson_writer.h"

class descriptor_document {
 public:
  explicit descriptor_document(const std::string& text);
  descriptor_document(const descriptor_document&) = delete;
  descriptor_document& operator=(const descriptor_document&) = delete;

  const rapidjson::Document& document() const { return document_; }
  const minijson_value_t& root() const { return root_; }

 private:
  minijson_value_t convert(const rapidjson::Value& value, const char* name);

  rapidjson::Document document_;
  minijson_value_t root_{};
  std::deque<std::vector<minijson_value_t>> arrays_;
  std::deque<std::vector<minijson_member_t>> members_;
  std::deque<std::string> binaries_;
};
