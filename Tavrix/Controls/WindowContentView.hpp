#pragma once

#include "Platform/UI/View.hpp"

namespace Tavrix {

// A window's content background: the whole bounds white in a light appearance and clear in a dark one,
// redrawn when the appearance changes.
class WindowContentView : public platform::View {
 public:
  using platform::View::View;

  void draw(const platform::Rect& dirtyRect) override;
  void viewDidChangeEffectiveAppearance() override;
};

}  // namespace Tavrix
