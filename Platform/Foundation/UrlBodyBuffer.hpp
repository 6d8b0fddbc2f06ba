#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// A response body while it arrives; its room grows with it and memory that cannot be had is a refused
// append, never an exception. A small body lives in one heap vector that grows as usual and is handed over
// as it is, so a small answer costs no more than the vector. A body past one piece moves to pieces of a
// fixed size, each an anonymous mapping of its own, so growing never copies what came before and holds at
// most one piece beyond the body; at the end they are joined into one vector, each unmapped as soon as it
// is copied, so the process holds the body about once throughout. (Pieces from malloc would not do: after
// the first is freed malloc serves the rest from its heap, which keeps freed memory, and joining would then
// hold the body twice.)
class UrlBodyBuffer {
 public:
  std::size_t size() const { return size_; }

  // Adds the bytes; false, with everything dropped, when memory for them cannot be had.
  bool append(const char* data, std::size_t length) noexcept;
  // Drops everything received so far.
  void clear() noexcept;
  // The whole body in one vector, leaving the buffer empty; nothing when memory for it cannot be had.
  std::optional<std::vector<std::uint8_t>> take() noexcept;

 private:
  static constexpr std::size_t pieceSize = std::size_t(1) << 20;

  struct Unmap {
    void operator()(std::uint8_t* piece) const noexcept;
  };
  using Piece = std::unique_ptr<std::uint8_t, Unmap>;

  // Maps one more piece; false when it cannot be had.
  bool addPiece() noexcept;
  // Moves the small body into the first piece; false when it cannot be had.
  bool moveToPieces() noexcept;

  std::vector<std::uint8_t> small_;  // the whole body while it fits in one piece
  std::vector<Piece> pieces_;
  std::size_t size_ = 0;
};

}  // namespace platform
