// Visits every value of a JSON text with RapidJSON's SAX reader.
#pragma once

#include <cstddef>

#include "bench/minijson_walk.hpp"

// text must be NUL-terminated. Returns true when the text was accepted.
bool rapidjson_walk(const char* text, walk_totals* totals);
