// Result codes of the codec, shared by the writer and the parser, and their
// texts.
#pragma once

inline constexpr int MINIJSON_OK = 0;
inline constexpr int MINIJSON_UNFINISHED = -1;  // "unfinished": call again with more bytes
inline constexpr int MINIJSON_ILLEGAL_FORMAT = -9;  // "illegal format"
inline constexpr int MINIJSON_WRONG_VALUE = -10;  // "wrong value"
inline constexpr int MINIJSON_WRONG_KEY = -12;  // "wrong key"
inline constexpr int MINIJSON_WRONG_CALL = -14;  // "wrong call"
inline constexpr int MINIJSON_TOO_DEEP = -15;  // "too deep"

// The text of one of the codes above, nullptr for any other code.
constexpr const char* minijson_error_text(int code) {
  switch (code) {
    case MINIJSON_UNFINISHED:
      return "unfinished";
    case MINIJSON_ILLEGAL_FORMAT:
      return "illegal format";
    case MINIJSON_WRONG_VALUE:
      return "wrong value";
    case MINIJSON_WRONG_KEY:
      return "wrong key";
    case MINIJSON_WRONG_CALL:
      return "wrong call";
    case MINIJSON_TOO_DEEP:
      return "too deep";
    default:
      return nullptr;
  }
}
