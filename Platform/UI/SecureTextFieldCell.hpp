#pragma once

#include <string>

#include "Platform/UI/TextFieldCell.hpp"

namespace platform {

// The cell of a password field: shows one bullet (U+2022) for each character of its string.
class SecureTextFieldCell : public TextFieldCell {
 protected:
  std::string displayedString() const override;
};

}  // namespace platform
