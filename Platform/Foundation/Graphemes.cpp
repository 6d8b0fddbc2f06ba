#include "Platform/Foundation/Graphemes.hpp"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>
#include <string>

#include "Platform/Foundation/FatalError.hpp"

namespace platform {

namespace {

// Walks the character boundaries of one text. Each thread keeps one break iterator (making one loads the
// rules) and points it at the text for the walk.
class BoundaryWalk {
 public:
  explicit BoundaryWalk(std::string_view text) : iterator_(threadIterator()) {
    UErrorCode status = U_ZERO_ERROR;
    text_ = utext_openUTF8(nullptr, text.data(), static_cast<std::int64_t>(text.size()), &status);
    iterator_.setText(text_, status);
    if (U_FAILURE(status)) {
      fatalError(std::string("cannot walk the characters of a text: ") + u_errorName(status));
    }
  }
  ~BoundaryWalk() { utext_close(text_); }
  BoundaryWalk(const BoundaryWalk&) = delete;
  BoundaryWalk& operator=(const BoundaryWalk&) = delete;

  // The byte offset of the next boundary after the current one, or icu::BreakIterator::DONE at the end.
  std::int32_t next() { return iterator_.next(); }

 private:
  // Without ICU's break rules the installation is broken: that stops the process.
  static icu::BreakIterator& threadIterator() {
    thread_local const std::unique_ptr<icu::BreakIterator> iterator = [] {
      UErrorCode status = U_ZERO_ERROR;
      std::unique_ptr<icu::BreakIterator> made(
          icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
      if (U_FAILURE(status) || !made) {
        fatalError(std::string("ICU has no character break rules: ") + u_errorName(status));
      }
      return made;
    }();
    return *iterator;
  }

  icu::BreakIterator& iterator_;
  UText* text_ = nullptr;
};

// The byte offset of character index `index` (clamped to the text), walking on from character `from` at
// byte `offset`.
std::size_t advance(BoundaryWalk& walk, std::size_t offset, std::int64_t from, std::int64_t index) {
  for (std::int64_t at = from; at < index; ++at) {
    const std::int32_t boundary = walk.next();
    if (boundary == icu::BreakIterator::DONE) {
      break;
    }
    offset = static_cast<std::size_t>(boundary);
  }
  return offset;
}

}  // namespace

std::size_t Graphemes::count(std::string_view text) {
  BoundaryWalk walk(text);
  std::size_t characters = 0;
  while (walk.next() != icu::BreakIterator::DONE) {
    ++characters;
  }
  return characters;
}

std::string_view Graphemes::slice(std::string_view text, std::int64_t from, std::int64_t to) {
  from = std::max<std::int64_t>(from, 0);
  if (to <= from || text.empty()) {
    return text.substr(0, 0);
  }
  BoundaryWalk walk(text);
  const std::size_t start = advance(walk, 0, 0, from);
  const std::size_t end = advance(walk, start, from, to);
  return text.substr(start, end - start);
}

}  // namespace platform
