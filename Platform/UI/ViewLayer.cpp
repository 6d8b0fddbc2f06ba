#include "Platform/UI/ViewLayer.hpp"

#include "Platform/UI/View.hpp"

namespace platform {

void ViewLayer::drawInContext(GraphicsContext& context) {
  if (view_ != nullptr) {
    view_->contents_.paint(context, view_->bounds(), view_->isFlipped());
  }
}

Layer::LayerList ViewLayer::renderedSublayers() const {
  LayerList layers = Layer::renderedSublayers();
  if (view_ != nullptr) {
    for (const std::shared_ptr<View>& subview : view_->subviews()) {
      layers.push_back(subview->layer_);
    }
  }
  return layers;
}

}  // namespace platform
