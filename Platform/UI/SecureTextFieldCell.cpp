#include "Platform/UI/SecureTextFieldCell.hpp"

#include "Platform/Foundation/Graphemes.hpp"

namespace platform {

std::string SecureTextFieldCell::displayedString() const {
  std::string bullets;
  for (std::size_t count = Graphemes::count(stringValue()); count > 0; --count) {
    bullets += "\u2022";
  }
  return bullets;
}

}  // namespace platform
