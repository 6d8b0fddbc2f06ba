#pragma once

#include "Platform/UI/OutlineView.hpp"

namespace Tavrix {

// An outline view that shows no background and takes away its scroll view's (removeBackground has run
// from creation).
class NoBackgroundOutlineView : public platform::OutlineView {
 public:
  using platform::OutlineView::OutlineView;

  // Turns off the enclosing scroll view's and its clip view's backgrounds, then makes the background
  // colour clear.
  virtual void removeBackground();

 protected:
  void didInit() override;
};

}  // namespace Tavrix
