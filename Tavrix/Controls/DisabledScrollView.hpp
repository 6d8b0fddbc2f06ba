#pragma once

#include "Platform/UI/ScrollView.hpp"

namespace Tavrix {

// A scroll view that ignores the scroll wheel: it neither scrolls nor passes the event on.
class DisabledScrollView : public platform::ScrollView {
 public:
  using platform::ScrollView::ScrollView;

  void scrollWheel(const platform::Event& event) override;
};

}  // namespace Tavrix
