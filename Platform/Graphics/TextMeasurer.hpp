#pragma once

#include <functional>
#include <string_view>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/TextAttributes.hpp"

namespace platform {

// Sizes of text as TextRenderer draws it, in points.
class TextMeasurer {
 public:
  // The text on one line per paragraph: its width, and the line count times the line height. Zero for
  // empty text.
  static Size size(std::string_view text, const TextAttributes& attributes);
  // The text with its words wrapped at the bounding width (when it is finite and not negative): the widest
  // line and the line count times the line height. The bounding height does not cut lines off; it is there
  // for callers that measure within a box.
  static Size boundingSize(std::string_view text, const TextAttributes& attributes, Size bounds);

  // Answers every measurement (size and boundingSize, on every thread) while it lives, so that tests can
  // pin the sizes text-driven geometry starts from. Overrides nest: the newest live one answers, and
  // destroying it brings back the one before it (or pango). Destroy them in reverse order of creation.
  class Override {
   public:
    using Measure = std::function<Size(std::string_view text, const TextAttributes& attributes, Size bounds)>;

    explicit Override(Measure measure);
    ~Override();
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;

   private:
    friend class TextMeasurer;
    Measure measure_;
    const Override* previous_;
  };
};

}  // namespace platform
