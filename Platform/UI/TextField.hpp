#pragma once

#include <memory>
#include <string>

#include "Platform/UI/TextFieldCell.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// A text field that shows a string: flipped, and drawn by its cell (a TextFieldCell unless another is set),
// which keeps the string, font and colour. No editing. Changing what shows redisplays the field.
class TextField : public View {
 public:
  explicit TextField(const Rect& frame = Rect());

  bool isFlipped() const override { return true; }

  const std::shared_ptr<TextFieldCell>& cell() const { return cell_; }
  // Replaces the cell (not with null: std::invalid_argument); the new cell keeps its own settings.
  void setCell(std::shared_ptr<TextFieldCell> cell);

  std::string stringValue() const { return cell_->stringValue(); }
  virtual void setStringValue(std::string text);
  const std::shared_ptr<const Font>& font() const { return cell_->font(); }
  void setFont(std::shared_ptr<const Font> font);
  const ColorRef& textColor() const { return cell_->textColor(); }
  void setTextColor(ColorRef color);

  // The cell draws over the bounds.
  void draw(const Rect& dirtyRect) override;

 private:
  std::shared_ptr<TextFieldCell> cell_;
};

}  // namespace platform
