#include "bench/bench_corpus.hpp"

#include <cstdint>
#include <cstdio>
#include <random>

namespace {

std::string base64(const unsigned char* bytes, size_t length) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < length; i += 3) {
    const unsigned b0 = bytes[i], b1 = i + 1 < length ? bytes[i + 1] : 0,
                   b2 = i + 2 < length ? bytes[i + 2] : 0;
    out += alphabet[b0 >> 2];
    out += alphabet[((b0 & 3) << 4) | (b1 >> 4)];
    out += i + 1 < length ? alphabet[((b1 & 15) << 2) | (b2 >> 6)] : '=';
    out += i + 2 < length ? alphabet[b2 & 63] : '=';
  }
  return out;
}

std::string real_text(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

}  // namespace

std::vector<std::string> device_replies() {
  std::vector<std::string> replies;
  std::mt19937 random(1);

  std::string profiles =
      "{\"category\":\"user profiles\",\"case\":\"state\",\"sort\":\"download\",\"data\":[";
  for (int slot = 0; slot < 8; ++slot) {
    unsigned char edid[256];
    for (unsigned char& b : edid) b = static_cast<unsigned char>(random());
    if (slot > 0) profiles += ',';
    profiles +=
        "{\"profile\":" + std::to_string(slot) + ",\"edid\":\"" + base64(edid, sizeof edid) + "\"}";
  }
  replies.push_back(profiles + "]}");

  replies.push_back(
      "{\"category\":\"system\",\"case\":\"state\",\"sort\":\"information\",\"data\":["
      "{\"item\":\"hardware\",\"version\":{\"major\":1,\"minor\":3,\"note\":\"rev B\"}},"
      "{\"item\":\"firmware\",\"version\":{\"major\":2,\"minor\":14,\"note\":\"build 2024-05-02 \\u00e9\"}},"
      "{\"item\":\"JSON schema\",\"version\":{\"major\":1,\"minor\":0},"
      "\"url\":\"https:\\/\\/vistrel.example\\/schema\\/v1.json\"}]}");

  static const char* const names[] = {"DI_KL_58xd",       "DI_KL_58xs",
                                      "DI_KL_58xt",       "DI_Display_Nachtdesign",
                                      "LS_Helligkeit_FW", "RLS_Vorfeldhelligkeit_Boost"};
  for (int reply = 0; reply < 4; ++reply) {
    std::string can = "{\"category\":\"CAN\",\"case\":\"state\",\"sort\":\"signal\",\"data\":[";
    for (int signal = 1; signal <= 6; ++signal) {
      if (signal > 1) can += ',';
      const unsigned raw = static_cast<unsigned>(random() % 254);
      can += "{\"identifier\":{\"code\":" + std::to_string(signal) + ",\"name\":\"" +
          names[signal - 1] + "\"},\"value\":{\"raw\":" + std::to_string(raw) +
          ",\"physical\":{\"numerical\":" + real_text(raw * 0.4) +
          ",\"unit\":\"%\"},\"textual\":\"" + (raw > 127 ? "Tag" : "Nacht") + "\"}}";
    }
    replies.push_back(can + "]}");
  }
  return replies;
}

std::vector<std::string> generic_document() {
  std::mt19937 random(2);
  const auto word = [&random](size_t max) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz ABCDEFGH";
    std::string out;
    const size_t length = 1 + random() % max;
    for (size_t i = 0; i < length; ++i) out += letters[random() % (sizeof letters - 1)];
    return out;
  };
  std::string text = "[";
  for (int record = 0; text.size() < 1000000; ++record) {
    if (record > 0) text += ',';
    text += "{\"id\":" + std::to_string(random()) + ",\"name\":\"" + word(12) + "\\\"" + word(8) +
        "\\\"\\t" + word(10) + "\\n\\u00e9\\\\\",\"tags\":[";
    for (int t = 0; t < 3; ++t) text += (t ? ",\"" : "\"") + word(10) + "\"";
    text += "],\"price\":" + real_text(static_cast<double>(random() % 100000) / 7.0) +
        ",\"ratio\":" + real_text(-static_cast<double>(random() % 1000) / 1e6) +
        ",\"active\":" + (random() % 2 ? "true" : "false") +
        ",\"parent\":null,\"dims\":{\"w\":" + std::to_string(random() % 5000) + ",\"h\":-" +
        std::to_string(random() % 300) + ",\"d\":[";
    for (int d = 0; d < 5; ++d)
      text += (d ? "," : "") + std::to_string(static_cast<int>(random() % 2000) - 1000);
    text += "]},\"history\":[{\"t\":" + std::to_string(1712345678 + record) +
        ",\"v\":" + real_text(static_cast<double>(random()) / 1e7) +
        "},{\"t\":" + std::to_string(1712345679 + record) +
        ",\"v\":" + real_text(static_cast<double>(random()) / 3e9) + "}]}";
  }
  return {text + "]"};
}
