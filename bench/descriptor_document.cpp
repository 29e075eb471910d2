#include "bench/descriptor_document.hpp"

#include <cstring>
#include <stdexcept>

#include "codec/minijson_text.h"

descriptor_document::descriptor_document(const std::string& text) {
  document_.Parse(text.c_str());
  if (document_.HasParseError()) throw std::runtime_error("benchmark corpus is not JSON");
  root_ = convert(document_, "");
}

minijson_value_t descriptor_document::convert(const rapidjson::Value& value, const char* name) {
  switch (value.GetType()) {
    case rapidjson::kNullType:
      return minijson_null();
    case rapidjson::kFalseType:
      return minijson_bool(0);
    case rapidjson::kTrueType:
      return minijson_bool(1);
    case rapidjson::kStringType:
      if (std::strcmp(name, "edid") == 0) {
        std::string& bytes = binaries_.emplace_back(value.GetStringLength(), '\0');
        size_t count = 0;
        size_t length = value.GetStringLength();
        minijson_base64_decode(reinterpret_cast<unsigned char*>(bytes.data()), &count,
                               value.GetString(), &length);
        return minijson_binary(bytes.data(), static_cast<uint32_t>(count));
      }
      return minijson_string_n(value.GetString(), value.GetStringLength());
    case rapidjson::kNumberType:
      if (value.IsInt64()) return minijson_integer(value.GetInt64());
      return minijson_real(value.GetDouble());
    case rapidjson::kArrayType: {
      std::vector<minijson_value_t> elements;
      for (const rapidjson::Value& element : value.GetArray())
        elements.push_back(convert(element, ""));
      std::vector<minijson_value_t>& stored = arrays_.emplace_back(std::move(elements));
      return minijson_array_n(stored.data(), static_cast<uint32_t>(stored.size()));
    }
    case rapidjson::kObjectType: {
      std::vector<minijson_member_t> members;
      members.reserve(value.MemberCount() + 1);
      for (const auto& member : value.GetObject())
        members.push_back(minijson_member(member.name.GetString(),
                                          convert(member.value, member.name.GetString())));
      std::vector<minijson_member_t>& stored = members_.emplace_back(std::move(members));
      return minijson_object_n(stored.data(), static_cast<uint32_t>(stored.size()));
    }
  }
  return minijson_null();
}
