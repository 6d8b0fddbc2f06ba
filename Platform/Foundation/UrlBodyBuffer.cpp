#include "Platform/Foundation/UrlBodyBuffer.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace platform {

void UrlBodyBuffer::Unmap::operator()(std::uint8_t* piece) const noexcept { ::munmap(piece, pieceSize); }

bool UrlBodyBuffer::append(const char* data, std::size_t length) noexcept {
  if (pieces_.empty() && length <= pieceSize - size_) {
    try {
      small_.insert(small_.end(), data, data + length);
    } catch (...) {  // no room for the vector to grow
      clear();
      return false;
    }
    size_ += length;
    return true;
  }
  if (pieces_.empty() && size_ > 0 && !moveToPieces()) {
    clear();
    return false;
  }
  for (std::size_t used = size_ % pieceSize; length > 0; used = 0) {
    if (used == 0 && !addPiece()) {
      clear();
      return false;
    }
    const std::size_t count = std::min(length, pieceSize - used);
    std::memcpy(pieces_.back().get() + used, data, count);
    data += count;
    length -= count;
    size_ += count;
  }
  return true;
}

bool UrlBodyBuffer::addPiece() noexcept {
  void* mapped = ::mmap(nullptr, pieceSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return false;
  Piece piece(static_cast<std::uint8_t*>(mapped));
  try {
    pieces_.push_back(std::move(piece));
  } catch (...) {  // no room for the list of pieces; `piece` unmaps itself
    return false;
  }
  return true;
}

bool UrlBodyBuffer::moveToPieces() noexcept {
  if (!addPiece()) return false;
  std::memcpy(pieces_.back().get(), small_.data(), size_);
  small_ = std::vector<std::uint8_t>();
  return true;
}

void UrlBodyBuffer::clear() noexcept {
  small_ = std::vector<std::uint8_t>();
  pieces_.clear();
  size_ = 0;
}

std::optional<std::vector<std::uint8_t>> UrlBodyBuffer::take() noexcept {
  std::optional<std::vector<std::uint8_t>> whole;
  if (pieces_.empty()) {
    whole = std::move(small_);
    clear();
    return whole;
  }
  try {
    whole.emplace().reserve(size_);
  } catch (...) {
    return std::nullopt;
  }
  // Within the reserved room nothing more is allocated; every piece goes as soon as it is copied.
  std::size_t left = size_;
  for (Piece& piece : pieces_) {
    const std::size_t count = std::min(left, pieceSize);
    whole->insert(whole->end(), piece.get(), piece.get() + count);
    piece.reset();
    left -= count;
  }
  clear();
  return whole;
}

}  // namespace platform
