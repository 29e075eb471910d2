#include "codec/minijson_parser.h"

const char* minijson_error_text(int code) {
  switch (code) {
    case MINIJSON_UNFINISHED: return "unfinished";
    case MINIJSON_ILLEGAL_FORMAT: return "illegal format";
    case MINIJSON_WRONG_VALUE: return "wrong value";
    case MINIJSON_WRONG_KEY: return "wrong key";
    case MINIJSON_WRONG_CALL: return "wrong call";
    case MINIJSON_TOO_DEEP: return "too deep";
    default: return nullptr;
  }
}
