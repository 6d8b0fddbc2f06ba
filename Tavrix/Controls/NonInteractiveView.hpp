#pragma once

#include <memory>

#include "Platform/UI/View.hpp"

namespace Tavrix {

// A view that neither it nor its subviews ever receive the pointer: events go to what lies beneath.
class NonInteractiveView : public platform::View {
 public:
  using platform::View::View;

  std::shared_ptr<platform::View> hitTest(platform::Point point) override;
};

}  // namespace Tavrix
