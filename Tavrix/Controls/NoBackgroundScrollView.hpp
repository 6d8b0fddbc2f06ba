#pragma once

#include "Platform/UI/ScrollView.hpp"

namespace Tavrix {

// A scroll view that draws no background, and whose clip view draws none either, from creation.
class NoBackgroundScrollView : public platform::ScrollView {
 public:
  using platform::ScrollView::ScrollView;

 protected:
  void didInit() override;
};

}  // namespace Tavrix
