#pragma once

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Layer.hpp"

namespace platform {

class View;

// The layer a view renders through: its content is the view's recorded drawing, and its subviews' layers
// render above its sublayers, inside its clip. It is the view's backing layer while the view wants a layer.
// The view owns it and cuts the link when it goes; a layer kept past its view draws only its own tree.
class ViewLayer final : public Layer {
 public:
  explicit ViewLayer(View* view) : view_(view) {}

  void drawInContext(GraphicsContext& context) override;
  LayerList renderedSublayers() const override;

  void detachFromView() { view_ = nullptr; }

 private:
  View* view_;
};

}  // namespace platform
