#pragma once

#include "Platform/UI/SplitView.hpp"

namespace Tavrix {

// A split view whose panes meet without a divider.
class NoDividerSplitView : public platform::SplitView {
 public:
  using platform::SplitView::SplitView;

  double dividerThickness() const override;
  void drawDivider(const platform::Rect& rect) override;
};

}  // namespace Tavrix
