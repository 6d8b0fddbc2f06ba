#include "Platform/Graphics/Font.hpp"

#include <stdexcept>
#include <string>

namespace platform {

namespace {

void requireSize(double size, const char* operation) {
  if (!(size > 0) || size > Font::largestSize) {
    throw std::invalid_argument(std::string("Font::") + operation + ": the size " + std::to_string(size) +
                                " is not above zero and at most " + std::to_string(Font::largestSize) +
                                " points");
  }
}

}  // namespace

Font::Font(Token, std::string family, double size, FontWeight weight)
    : family_(std::move(family)), pointSize_(size), weight_(weight) {}

std::shared_ptr<const Font> Font::systemFont(double size, FontWeight weight) {
  requireSize(size, "systemFont");
  return std::make_shared<const Font>(Token{}, std::string(systemFamily), size, weight);
}

std::shared_ptr<const Font> Font::boldSystemFont(double size) { return systemFont(size, FontWeight::bold); }

std::shared_ptr<const Font> Font::withSize(double size) const {
  requireSize(size, "withSize");
  return std::make_shared<const Font>(Token{}, family_, size, weight_);
}

}  // namespace platform
