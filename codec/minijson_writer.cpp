#include "codec/minijson_writer.h"

int minijson_write(void*, minijson_sink, unsigned, const minijson_value_t*) { return -9; }

int minijson_write_buffered(void*, size_t, minijson_sink, unsigned, const minijson_value_t*) { return -9; }
