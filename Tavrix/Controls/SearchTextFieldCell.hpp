#pragma once

#include "Platform/UI/SearchFieldCell.hpp"

namespace Tavrix {

// A search-field cell drawn without its bezel: only the interior, over the whole frame from the origin.
class SearchTextFieldCell : public platform::SearchFieldCell {
 public:
  void drawWithFrame(const platform::Rect& cellFrame, platform::View& controlView) override;
};

}  // namespace Tavrix
