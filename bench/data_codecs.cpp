// gunzipped against a bare zlib inflate of the same gzip stream into a buffer of the known output size:
// the cost of growing the output and of the checks around the loop. Two payloads of 1 MiB: text that
// compresses about 3:1, and random bytes that do not compress.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <stdexcept>

#include "Bexlan/Data.hpp"

namespace {

using Bexlan::Data::Bytes;

Bytes payload(bool text) {
  std::mt19937 random(7);
  Bytes bytes(1 << 20);
  for (auto& byte : bytes)
    byte = text ? "etaoin shrdlu\n"[random() % 14] : static_cast<std::uint8_t>(random());
  return bytes;
}

Bytes gzip(const Bytes& data) {
  z_stream stream{};
  deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&stream, data.size()) + 32);
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

void Gunzipped(benchmark::State& state) {
  const Bytes gz = gzip(payload(state.range(0) != 0));
  for (auto _ : state) {
    auto result = Bexlan::Data::gunzipped(gz);
    benchmark::DoNotOptimize(result->data());
  }
  state.SetBytesProcessed(state.iterations() * (1 << 20));
}

void BareInflate(benchmark::State& state) {
  const Bytes gz = gzip(payload(state.range(0) != 0));
  for (auto _ : state) {
    Bytes out(1 << 20);
    z_stream stream{};
    inflateInit2(&stream, 47);
    stream.next_in = const_cast<Bytef*>(gz.data());
    stream.avail_in = static_cast<uInt>(gz.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    if (inflate(&stream, Z_FINISH) != Z_STREAM_END) state.SkipWithError("inflate");
    inflateEnd(&stream);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * (1 << 20));
}

// Argument 1: text, 0: random bytes.
BENCHMARK(Gunzipped)->Arg(1)->Arg(0);
BENCHMARK(BareInflate)->Arg(1)->Arg(0);

}  // namespace
