// The compression operations of Bexlan::Data, on zlib.
#include <zlib.h>

#include <algorithm>
#include <limits>

#include "Bexlan/Data.hpp"

namespace Bexlan::Data {

namespace {

// zlib counts each call's input and output in 32 bits; larger buffers are handed over in pieces.
constexpr std::size_t largestPiece = std::numeric_limits<uInt>::max();

// Hands zlib the next pieces of input (from consumed) and output space (from produced), runs one call of
// step, given whether this piece reaches the end of the input, and moves both positions past what zlib
// read and wrote. Gives step's status.
template <class Step>
int runPiece(z_stream& stream, const Bytes& data, std::size_t& consumed, Bytes& output, std::size_t& produced,
             Step step) {
  const std::size_t inputPiece = std::min(data.size() - consumed, largestPiece);
  const std::size_t outputPiece = std::min(output.size() - produced, largestPiece);
  stream.next_in = const_cast<Bytef*>(data.data() + consumed);
  stream.avail_in = static_cast<uInt>(inputPiece);
  stream.next_out = output.data() + produced;
  stream.avail_out = static_cast<uInt>(outputPiece);
  const int status = step(consumed + inputPiece == data.size());
  consumed += inputPiece - stream.avail_in;
  produced += outputPiece - stream.avail_out;
  return status;
}

// Inflates the whole input with a stream that `init` set up, growing the output as needed. Gives the
// output only when the stream ended properly; anything else (corrupt, truncated, an error of zlib) gives
// nothing. `flush` is the flush mode of every inflate call.
template <class Init>
std::optional<Bytes> inflateAll(const Bytes& data, Init init, int flush) {
  if (data.empty()) {
    return std::nullopt;
  }
  z_stream stream{};
  if (init(stream) != Z_OK) {
    return std::nullopt;
  }
  // Start at twice the input and grow by at least half of it each time the output fills, doubling for
  // large outputs so that a highly compressed stream needs few steps.
  Bytes output(std::max<std::size_t>(2 * data.size(), 64));
  std::size_t consumed = 0;
  std::size_t produced = 0;
  int status = Z_OK;
  while (status == Z_OK) {
    if (produced >= output.size()) {
      output.resize(output.size() + std::max(data.size() / 2, output.size()));
    }
    status =
        runPiece(stream, data, consumed, output, produced, [&](bool) { return inflate(&stream, flush); });
  }
  const bool ended = inflateEnd(&stream) == Z_OK && status == Z_STREAM_END;
  if (!ended) {
    return std::nullopt;
  }
  output.resize(produced);
  return output;
}

}  // namespace

std::optional<Bytes> gunzipped(const Bytes& data) {
  // Window bits 15 + 32: a zlib or a gzip header is detected automatically.
  return inflateAll(
      data, [](z_stream& stream) { return inflateInit2(&stream, 47); }, Z_SYNC_FLUSH);
}

std::optional<Bytes> inflated(const Bytes& data) {
  return inflateAll(
      data, [](z_stream& stream) { return inflateInit2(&stream, -MAX_WBITS); }, Z_NO_FLUSH);
}

std::optional<Bytes> deflated(const Bytes& data) {
  if (data.empty()) {
    return std::nullopt;
  }
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    return std::nullopt;
  }
  Bytes output(deflateBound(&stream, data.size()));
  std::size_t consumed = 0;
  std::size_t produced = 0;
  int status = Z_OK;
  while (status == Z_OK) {
    status = runPiece(stream, data, consumed, output, produced,
                      [&](bool lastInput) { return deflate(&stream, lastInput ? Z_FINISH : Z_NO_FLUSH); });
  }
  deflateEnd(&stream);
  if (status != Z_STREAM_END) {
    return std::nullopt;
  }
  output.resize(produced);
  return output;
}

}  // namespace Bexlan::Data
