#pragma once

#include "Platform/UI/TableView.hpp"

namespace Tavrix {

// A table that shows no background and takes away its scroll view's; the view holding its header gets
// rounded corners (removeBackground has run from creation).
class NoBackgroundTableView : public platform::TableView {
 public:
  using platform::TableView::TableView;

  // When the header view has a superview, that superview becomes layer-backed with corner radius 8 and a
  // clear background; then the enclosing scroll view's and its clip view's backgrounds are turned off and
  // the background colour becomes clear.
  virtual void removeBackground();

 protected:
  void didInit() override;
};

}  // namespace Tavrix
