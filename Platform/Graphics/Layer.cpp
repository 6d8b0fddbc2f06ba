#include "Platform/Graphics/Layer.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "Platform/Graphics/MediaClock.hpp"

namespace platform {

namespace {

constexpr std::string_view rotationKeyPath = "transform.rotation.z";

double rotationOf(const AffineTransform& transform) { return std::atan2(transform.b, transform.a); }

// Maps the bounds space to the superlayer: the anchor point's place in the bounds goes to the origin, the
// transform applies about it, then it moves to position.
AffineTransform boundsToSuperlayer(const Rect& bounds, Point position, Point anchor,
                                   const AffineTransform& transform) {
  const Point anchorInBounds{bounds.origin.x + anchor.x * bounds.size.width,
                             bounds.origin.y + anchor.y * bounds.size.height};
  return AffineTransform::translation(-anchorInBounds.x, -anchorInBounds.y)
      .concatenating(transform)
      .concatenating(AffineTransform::translation(position.x, position.y));
}

}  // namespace

Rect Layer::frame() const { return transformToSuperlayer().apply(bounds_); }

void Layer::setFrame(const Rect& frame) {
  const Rect standard = frame.standardized();
  bounds_.size = standard.size;
  position_ = {standard.origin.x + anchorPoint_.x * standard.size.width,
               standard.origin.y + anchorPoint_.y * standard.size.height};
}

AffineTransform Layer::transformToSuperlayer() const {
  return boundsToSuperlayer(bounds_, position_, anchorPoint_, transform_);
}

AffineTransform Layer::presentationTransformToSuperlayer(double time) const {
  return boundsToSuperlayer(std::get<Rect>(*presentationValue("bounds", time)),
                            std::get<Point>(*presentationValue("position", time)),
                            std::get<Point>(*presentationValue("anchorPoint", time)),
                            presentationTransform(time));
}

void Layer::requireAttachable(const std::shared_ptr<Layer>& layer, std::string_view operation) {
  if (!layer) {
    throw std::invalid_argument("Layer::" + std::string(operation) + ": the layer is null");
  }
  if (layer.get() == this || layer->holdsInTree(*this)) {
    throw std::invalid_argument("Layer::" + std::string(operation) +
                                ": the layer is this layer or holds it, which would make a cycle");
  }
  if (weak_from_this().expired()) {
    throw std::logic_error("Layer::" + std::string(operation) +
                           ": a layer must be owned by a std::shared_ptr to hold other layers");
  }
}

bool Layer::holdsInTree(const Layer& layer) const {
  const auto holds = [&layer](const std::shared_ptr<Layer>& child) {
    return child && (child.get() == &layer || child->holdsInTree(layer));
  };
  return holds(mask_) || (sublayers_ && std::any_of(sublayers_->begin(), sublayers_->end(), holds));
}

void Layer::attach(const std::shared_ptr<Layer>& layer) {
  layer->removeFromSuperlayer();
  if (!sublayers_) {
    sublayers_.emplace();
  }
  sublayers_->push_back(layer);
  layer->superlayer_ = weak_from_this();
}

void Layer::addSublayer(std::shared_ptr<Layer> layer) {
  requireAttachable(layer, "addSublayer");
  attach(layer);
}

void Layer::setSublayers(std::optional<LayerList> sublayers) {
  if (sublayers) {
    for (const std::shared_ptr<Layer>& layer : *sublayers) {
      requireAttachable(layer, "setSublayers");
    }
  }
  // Keeps the old sublayers alive until they are detached.
  const std::optional<LayerList> old = std::exchange(sublayers_, std::nullopt);
  if (old) {
    for (const std::shared_ptr<Layer>& layer : *old) {
      layer->superlayer_.reset();
    }
  }
  if (sublayers) {
    sublayers_.emplace();
    for (const std::shared_ptr<Layer>& layer : *sublayers) {
      attach(layer);
    }
  }
}

void Layer::removeFromSuperlayer() {
  const std::shared_ptr<Layer> parent = superlayer_.lock();
  superlayer_.reset();
  if (!parent) {
    return;
  }
  // The superlayer's list may hold the last reference to this layer.
  const std::shared_ptr<Layer> self = shared_from_this();
  std::erase(*parent->sublayers_, self);
}

void Layer::setMask(std::shared_ptr<Layer> mask) {
  if (mask) {
    requireAttachable(mask, "setMask");
  }
  mask_ = std::move(mask);
}

void Layer::addAnimation(const BasicAnimation& animation, std::string key) {
  animation.validate();
  if (const std::optional<AnimatableValue> model = modelValue(animation.keyPath)) {
    for (const std::optional<AnimatableValue>& value : {animation.fromValue, animation.toValue}) {
      if (value && !isSameKind(*value, *model)) {
        throw std::invalid_argument("Layer::addAnimation: a value for \"" + animation.keyPath +
                                    "\" is not of the property's kind");
      }
    }
  }
  animations_.add(animation, std::move(key), MediaClock::now());
}

void Layer::removeAllAnimations() { animations_.removeAll(); }

std::optional<BasicAnimation> Layer::animation(std::string_view key) const {
  const BasicAnimation* found = animations_.find(key, MediaClock::now());
  return found ? std::optional(*found) : std::nullopt;
}

std::vector<std::string> Layer::animationKeys() const { return animations_.keys(MediaClock::now()); }

std::optional<AnimatableValue> Layer::modelValue(std::string_view keyPath) const {
  if (keyPath == "bounds") return bounds_;
  if (keyPath == "position") return position_;
  if (keyPath == "anchorPoint") return anchorPoint_;
  if (keyPath == "zPosition") return zPosition_;
  if (keyPath == "opacity") return opacity_;
  if (keyPath == "cornerRadius") return cornerRadius_;
  if (keyPath == "borderWidth") return borderWidth_;
  if (keyPath == "borderColor") return animatable(borderColor_);
  if (keyPath == "backgroundColor") return animatable(backgroundColor_);
  if (keyPath == "shadowOpacity") return shadowOpacity_;
  if (keyPath == "shadowColor") return animatable(shadowColor_);
  if (keyPath == "shadowOffset") return shadowOffset_;
  if (keyPath == "shadowRadius") return shadowRadius_;
  if (keyPath == "shadowPath") return animatable(shadowPath_);
  if (keyPath == rotationKeyPath) return rotationOf(transform_);
  return std::nullopt;
}

std::optional<AnimatableValue> Layer::presentationValue(std::string_view keyPath, double time) const {
  if (std::isnan(time)) {
    throw std::invalid_argument("Layer::presentationValue: the time is NaN");
  }
  const std::optional<AnimatableValue> model = modelValue(keyPath);
  if (!model) {
    return std::nullopt;
  }
  return animations_.apply(keyPath, *model, time);
}

AffineTransform Layer::presentationTransform(double time) const {
  const double turn = std::get<double>(*presentationValue(rotationKeyPath, time)) - rotationOf(transform_);
  return turn == 0 ? transform_ : transform_.rotatedBy(turn);
}

void Layer::drawInContext(GraphicsContext&) {}

Layer::LayerList Layer::renderedSublayers() const { return sublayers_.value_or(LayerList{}); }

}  // namespace platform
