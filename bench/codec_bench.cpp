// Parse and write throughput of the codec and of RapidJSON on the same
// texts: device replies and a generic 1 MB document; simdjson's on-demand
// parse of the same bytes as the SIMD reference.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "bench/bench_corpus.hpp"
#include "bench/descriptor_document.hpp"
#include "bench/minijson_walk.hpp"
#include "bench/rapidjson_walk.hpp"
#include "bench/simdjson_walk.hpp"
#include "codec/minijson_writer.h"

namespace {

struct corpus {
  std::vector<std::string> texts;
  size_t bytes = 0;
  std::vector<std::unique_ptr<descriptor_document>> documents;
  std::unique_ptr<simdjson_walker> reference;  // null where the processor lacks AVX2
};

corpus make_corpus(std::vector<std::string> texts) {
  corpus made;
  made.texts = std::move(texts);
  for (const std::string& t : made.texts) {
    made.bytes += t.size();
    made.documents.push_back(std::make_unique<descriptor_document>(t));
  }
  if (simdjson_walker::available()) made.reference = std::make_unique<simdjson_walker>(made.texts);
  return made;
}

const corpus& device() {
  static const corpus c = make_corpus(device_replies());
  return c;
}

const corpus& generic() {
  static const corpus c = make_corpus(generic_document());
  return c;
}

std::vector<char>& scratch() {
  static std::vector<char> buffer(2 << 20);
  return buffer;
}

// Parses every text of the corpus with `parse`, which tells whether the
// text parsed.
template <typename Parse>
void parse_corpus(benchmark::State& state, const corpus& c, Parse parse) {
  for (auto _ : state) {
    walk_totals totals;
    for (const std::string& t : c.texts) {
      if (!parse(t, &totals)) state.SkipWithError("parse failed");
    }
    benchmark::DoNotOptimize(totals);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.bytes));
}

// One pass: every byte checked, the top level's members reported with
// their keys and strings unescaped (what the receive thread does).
void parse_minijson(benchmark::State& state, const corpus& c) {
  char* space = scratch().data();
  parse_corpus(state, c, [space](const std::string& t, walk_totals* totals) {
    return minijson_one_pass(t.data(), t.size(), space, totals) == 0;
  });
}

// Every value of every level, each container's text parsed again one level
// down, as the consumers reach nested values.
void parse_minijson_every_value(benchmark::State& state, const corpus& c) {
  char* space = scratch().data();
  parse_corpus(state, c, [space](const std::string& t, walk_totals* totals) {
    return minijson_walk(t.data(), t.size(), space, totals) == 0;
  });
}

void parse_minijson_pieces(benchmark::State& state, const corpus& c) {
  char* space = scratch().data();
  parse_corpus(state, c, [space](const std::string& t, walk_totals* totals) {
    return minijson_one_pass_in_pieces(t.data(), t.size(), 64, space, totals) == 0;
  });
}

void parse_rapidjson(benchmark::State& state, const corpus& c) {
  parse_corpus(state, c, [](const std::string& t, walk_totals* totals) {
    return rapidjson_walk(t.c_str(), totals);
  });
}

void parse_simdjson(benchmark::State& state, const corpus& c) {
  if (!c.reference) {
    state.SkipWithError("simdjson's reference walk needs AVX2");
    return;
  }
  for (auto _ : state) {
    walk_totals totals;
    for (size_t i = 0; i < c.reference->size(); ++i) {
      if (!c.reference->walk(i, &totals)) state.SkipWithError("parse failed");
    }
    benchmark::DoNotOptimize(totals);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.bytes));
}

// The codec's output: text collected in a 4 KB buffer and appended to one
// preallocated output, as a request buffer would be filled.
struct output_area {
  std::vector<char> bytes = std::vector<char>(4 << 20);
  size_t used = 0;
  static int append(void*, const void* data, size_t length);
};
output_area* current_output = nullptr;

int output_area::append(void*, const void* data, size_t length) {
  if (data == nullptr) return 0;
  std::memcpy(current_output->bytes.data() + current_output->used, data, length);
  current_output->used += length;
  return 0;
}

int append_unbuffered(void* context, const void* data, size_t length) {
  if (data == nullptr) return 0;
  output_area* out = static_cast<output_area*>(context);
  std::memcpy(out->bytes.data() + out->used, data, length);
  out->used += length;
  return 0;
}

void write_minijson(benchmark::State& state, const corpus& c) {
  output_area out;
  current_output = &out;
  char buffer[4096];
  size_t written = 0;
  for (auto _ : state) {
    out.used = 0;
    for (const auto& d : c.documents) {
      if (minijson_write_buffered(buffer, sizeof buffer, output_area::append, 0, &d->root()) != 0)
        state.SkipWithError("write failed");
    }
    written = out.used;
    benchmark::DoNotOptimize(out.bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
  state.counters["output_bytes"] = static_cast<double>(written);
}

void write_minijson_unbuffered(benchmark::State& state, const corpus& c) {
  output_area out;
  size_t written = 0;
  for (auto _ : state) {
    out.used = 0;
    for (const auto& d : c.documents) {
      if (minijson_write(&out, append_unbuffered, 0, &d->root()) != 0)
        state.SkipWithError("write failed");
    }
    written = out.used;
    benchmark::DoNotOptimize(out.bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
  state.counters["output_bytes"] = static_cast<double>(written);
}

void write_rapidjson(benchmark::State& state, const corpus& c) {
  rapidjson::StringBuffer buffer;
  size_t written = 0;
  for (auto _ : state) {
    written = 0;
    for (const auto& d : c.documents) {
      buffer.Clear();
      rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
      d->document().Accept(writer);
      written += buffer.GetSize();
      benchmark::DoNotOptimize(buffer.GetString());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
  state.counters["output_bytes"] = static_cast<double>(written);
}

// Both parsers must see the same values before their speed means anything.
bool same_values(const corpus& c) {
  walk_totals ours, theirs, reference;
  for (size_t i = 0; i < c.texts.size(); ++i) {
    const std::string& t = c.texts[i];
    if (minijson_walk(t.data(), t.size(), scratch().data(), &ours) != 0) return false;
    if (!rapidjson_walk(t.c_str(), &theirs)) return false;
    if (c.reference && !c.reference->walk(i, &reference)) return false;
  }
  const bool agree = ours.values + c.texts.size() == theirs.values &&
      ours.string_bytes == theirs.string_bytes && ours.integers == theirs.integers;
  if (!c.reference) return agree;
  return agree && theirs.values == reference.values &&
      theirs.string_bytes == reference.string_bytes && theirs.integers == reference.integers;
}

}  // namespace

BENCHMARK_CAPTURE(parse_minijson, device, device())->Name("parse/device/minijson");
BENCHMARK_CAPTURE(parse_rapidjson, device, device())->Name("parse/device/rapidjson");
BENCHMARK_CAPTURE(parse_simdjson, device, device())->Name("parse/device/simdjson");
BENCHMARK_CAPTURE(parse_minijson_every_value, device, device())
    ->Name("parse/device/minijson_every_value");
BENCHMARK_CAPTURE(parse_minijson_pieces, device, device())
    ->Name("parse/device/minijson_64_byte_pieces");
BENCHMARK_CAPTURE(write_minijson, device, device())->Name("write/device/minijson");
BENCHMARK_CAPTURE(write_minijson_unbuffered, device, device())
    ->Name("write/device/minijson_unbuffered");
BENCHMARK_CAPTURE(write_rapidjson, device, device())->Name("write/device/rapidjson");
BENCHMARK_CAPTURE(parse_minijson, generic, generic())->Name("parse/generic/minijson");
BENCHMARK_CAPTURE(parse_minijson_every_value, generic, generic())
    ->Name("parse/generic/minijson_every_value");
BENCHMARK_CAPTURE(parse_rapidjson, generic, generic())->Name("parse/generic/rapidjson");
BENCHMARK_CAPTURE(parse_simdjson, generic, generic())->Name("parse/generic/simdjson");
BENCHMARK_CAPTURE(write_minijson, generic, generic())->Name("write/generic/minijson");
BENCHMARK_CAPTURE(write_minijson_unbuffered, generic, generic())
    ->Name("write/generic/minijson_unbuffered");
BENCHMARK_CAPTURE(write_rapidjson, generic, generic())->Name("write/generic/rapidjson");

int main(int argc, char** argv) {
  if (!same_values(device()) || !same_values(generic())) {
    std::cerr << "codec_bench: the parsers disagree on the corpus\n";
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
