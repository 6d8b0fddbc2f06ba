#include "Platform/UI/View.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "Platform/UI/ConstraintLayout.hpp"
#include "Platform/UI/ViewLayer.hpp"
#include "Platform/UI/Window.hpp"

namespace platform {

namespace {

bool names(const LayoutConstraint& constraint, const View& view) {
  return constraint.firstItem().get() == &view || constraint.secondItem().get() == &view;
}

}  // namespace

View::View(const Rect& frame)
    : frame_(frame),
      layer_(std::make_shared<ViewLayer>(this)),
      effectiveAppearance_(std::string(Appearance::aqua)) {
  layer_->setFrame(frame_);
  setNeedsDisplay(true);
}

View::~View() { layer_->detachFromView(); }

void View::setFrame(const Rect& frame) {
  const Size oldSize = frame_.size;
  const bool resized = frame.size != oldSize;
  frame_ = frame;
  layer_->setFrame(frame_);
  if (resized) {
    needsLayout_ = true;
    setNeedsDisplay(true);
    // A snapshot: a subview may leave or add views while it adapts.
    for (const std::shared_ptr<View>& subview : ViewList(subviews_)) {
      subview->resizeWithOldSuperviewSize(oldSize);
    }
  }
}

void View::resizeWithOldSuperviewSize(Size) {}

void View::setFrameOrigin(Point origin) { setFrame(Rect(origin, frame_.size)); }

void View::setFrameSize(Size size) { setFrame(Rect(frame_.origin, size)); }

Rect View::bounds() const { return Rect(0, 0, frame_.width(), frame_.height()); }

AffineTransform View::transformToSuperview() const {
  const Rect frame = frame_.standardized();
  const std::shared_ptr<View> superview = superview_.lock();
  if (isFlipped() == (superview && superview->isFlipped())) {
    return AffineTransform::translation(frame.minX(), frame.minY());
  }
  return AffineTransform{1, 0, 0, -1, frame.minX(), frame.maxY()};
}

AffineTransform View::transformToWindow() const {
  AffineTransform transform = transformToSuperview();
  for (std::shared_ptr<View> view = superview(); view; view = view->superview()) {
    transform = transform.concatenating(view->transformToSuperview());
  }
  return transform;
}

Point View::convertFromWindow(Point point) const {
  // Translations and flips only, so the transform always has an inverse.
  return transformToWindow().inverted().value_or(AffineTransform::identity()).apply(point);
}

Rect View::visibleRect() const {
  Rect visible = bounds();
  const AffineTransform fromWindow = transformToWindow().inverted().value_or(AffineTransform::identity());
  for (std::shared_ptr<View> view = superview(); view; view = view->superview()) {
    const Rect theirs = view->transformToWindow().concatenating(fromWindow).apply(view->bounds());
    const std::optional<Rect> overlap = visible.intersection(theirs);
    if (!overlap) {
      return Rect();
    }
    visible = *overlap;
  }
  return visible;
}

void View::addSubview(std::shared_ptr<View> view) {
  if (!view || isDescendantOf(*view)) {
    throw std::invalid_argument("a view cannot take a null view, itself or a superview as a subview");
  }
  if (view->superview().get() == this) {
    std::erase(subviews_, view);
    subviews_.push_back(std::move(view));
    return;
  }
  view->viewWillMoveToSuperview(this);
  view->detachFromSuperview();
  subviews_.push_back(view);
  view->superview_ = weak_from_this();
  view->updateLayerGeometry();
  needsLayout_ = true;
  if (window()) view->setSubtreeNeedsLayout();
  view->updateEffectiveAppearance();
}

void View::setSubviews(ViewList views) {
  ViewList ordered;
  for (const std::shared_ptr<View>& view : views) {
    if (!view || isDescendantOf(*view)) {
      throw std::invalid_argument("a view cannot take a null view, itself or a superview as a subview");
    }
    if (std::find(ordered.begin(), ordered.end(), view) == ordered.end()) {
      ordered.push_back(view);
    }
  }
  for (const std::shared_ptr<View>& present : ViewList(subviews_)) {
    if (std::find(ordered.begin(), ordered.end(), present) == ordered.end()) {
      present->removeFromSuperview();
    }
  }
  for (const std::shared_ptr<View>& view : ordered) {
    if (view->superview().get() != this) {
      addSubview(view);
    }
  }
  // Hooks may have moved views in or out meanwhile: keep the requested order of those still here.
  std::erase_if(ordered,
                [this](const std::shared_ptr<View>& view) { return view->superview().get() != this; });
  for (const std::shared_ptr<View>& view : subviews_) {
    if (std::find(ordered.begin(), ordered.end(), view) == ordered.end()) {
      ordered.push_back(view);
    }
  }
  subviews_ = std::move(ordered);
}

void View::removeFromSuperview() {
  if (superview_.expired()) {
    return;
  }
  // The superview may hold the last reference.
  const std::shared_ptr<View> self = shared_from_this();
  viewWillMoveToSuperview(nullptr);
  detachFromSuperview();
  updateLayerGeometry();
  updateEffectiveAppearance();
}

void View::detachFromSuperview() {
  const std::shared_ptr<View> former = superview_.lock();
  if (!former) {
    return;
  }
  for (std::shared_ptr<View> holder = former; holder; holder = holder->superview()) {
    std::vector<std::shared_ptr<LayoutConstraint>> naming;
    std::copy_if(holder->constraints_.begin(), holder->constraints_.end(), std::back_inserter(naming),
                 [this](const std::shared_ptr<LayoutConstraint>& rule) { return names(*rule, *this); });
    for (const std::shared_ptr<LayoutConstraint>& rule : naming) {
      holder->removeConstraint(rule);
    }
  }
  std::erase_if(former->subviews_, [this](const std::shared_ptr<View>& view) { return view.get() == this; });
  superview_.reset();
  former->needsLayout_ = true;
}

bool View::isDescendantOf(const View& view) const {
  for (const View* candidate = this; candidate != nullptr;) {
    if (candidate == &view) {
      return true;
    }
    const std::shared_ptr<View> next = candidate->superview();
    candidate = next.get();
  }
  return false;
}

std::shared_ptr<Window> View::window() const {
  const View* top = this;
  for (std::shared_ptr<View> view = superview(); view; view = view->superview()) {
    top = view.get();
  }
  return top->window_.lock();
}

void View::viewWillMoveToSuperview(View*) {}

void View::setWantsLayer(bool wantsLayer) {
  if (wantsLayer == wantsLayer_) {
    return;
  }
  wantsLayer_ = wantsLayer;
  if (!wantsLayer) {
    // Whatever was set on the backing layer goes with it; the view renders through a fresh layer.
    layer_->detachFromView();
    layer_ = std::make_shared<ViewLayer>(this);
    layer_->setHidden(hidden_);
    applyShadow();
  }
  updateLayerGeometry();
}

std::shared_ptr<Layer> View::layer() const { return wantsLayer_ ? layer_ : nullptr; }

void View::updateLayerGeometry() {
  layer_->setFrame(frame_);
  updateLayerFlip();
}

void View::updateLayerFlip() {
  const std::shared_ptr<View> superview = superview_.lock();
  layer_->setGeometryFlipped(isFlipped() != (superview && superview->isFlipped()));
}

void View::layout() { ConstraintLayout::placeSubviews(*this); }

void View::layoutSubtreeIfNeeded() {
  updateLayerFlip();
  if (needsLayout_) {
    needsLayout_ = false;
    AppearanceScope scope(effectiveAppearance_);
    layout();
  }
  for (const std::shared_ptr<View>& subview : ViewList(subviews_)) {
    subview->layoutSubtreeIfNeeded();
  }
}

void View::setNeedsDisplay(bool needsDisplay) {
  if (needsDisplay) {
    rectsNeedingDisplay_.push_back(bounds());
  } else {
    rectsNeedingDisplay_.clear();
  }
}

void View::setNeedsDisplayInRect(const Rect& rect) {
  if (!rect.isEmpty()) {
    rectsNeedingDisplay_.push_back(rect.standardized());
  }
}

void View::draw(const Rect&) {}

void View::displayIfNeeded() {
  if (hidden_) {
    return;
  }
  updateLayerFlip();
  if (!rectsNeedingDisplay_.empty()) {
    Rect dirty = rectsNeedingDisplay_.front();
    for (const Rect& rect : rectsNeedingDisplay_) {
      dirty = dirty.unionWith(rect);
    }
    rectsNeedingDisplay_.clear();
    AppearanceScope scope(effectiveAppearance_);
    if (const std::optional<Rect> visible = dirty.intersection(bounds())) {
      contents_.redraw(bounds(), isFlipped(), *visible, [this](const Rect& rect) { draw(rect); });
    } else if (bounds().isEmpty()) {
      contents_.clear();
    }
  }
  for (const std::shared_ptr<View>& subview : ViewList(subviews_)) {
    subview->displayIfNeeded();
  }
}

void View::display() {
  setNeedsDisplay(true);
  for (const std::shared_ptr<View>& subview : ViewList(subviews_)) {
    subview->display();
  }
  displayIfNeeded();
}

void View::setAppearance(std::optional<Appearance> appearance) {
  appearance_ = std::move(appearance);
  updateEffectiveAppearance();
}

void View::updateEffectiveAppearance() {
  Appearance next = [&] {
    if (appearance_) return *appearance_;
    if (const std::shared_ptr<View> superview = superview_.lock()) return superview->effectiveAppearance_;
    if (const std::shared_ptr<Window> window = window_.lock(); window && window->appearance()) {
      return *window->appearance();
    }
    return Appearance(std::string(Appearance::aqua));
  }();
  if (next == effectiveAppearance_) {
    return;
  }
  effectiveAppearance_ = std::move(next);
  {
    AppearanceScope scope(effectiveAppearance_);
    viewDidChangeEffectiveAppearance();
  }
  for (const std::shared_ptr<View>& subview : ViewList(subviews_)) {
    subview->updateEffectiveAppearance();
  }
}

void View::viewDidChangeEffectiveAppearance() {}

void View::awakeFromNib() {}

void View::didInit() {}

void View::setHidden(bool hidden) {
  hidden_ = hidden;
  layer_->setHidden(hidden);
}

void View::setShadow(std::optional<Shadow> shadow) {
  shadow_ = std::move(shadow);
  applyShadow();
}

void View::applyShadow() {
  if (!shadow_) {
    layer_->setShadowOpacity(0);
    return;
  }
  layer_->setShadowOpacity(1);
  layer_->setShadowColor(shadow_->color ? std::optional<Rgba>(shadow_->color->rgba()) : std::nullopt);
  layer_->setShadowOffset(shadow_->offset);
  layer_->setShadowRadius(shadow_->blurRadius);
}

void View::setTranslatesAutoresizingMaskIntoConstraints(bool translates) {
  translatesAutoresizingMask_ = translates;
  if (const std::shared_ptr<View> superview = superview_.lock()) {
    superview->needsLayout_ = true;
  }
}

void View::addConstraint(const std::shared_ptr<LayoutConstraint>& constraint) {
  if (!constraint) {
    throw std::invalid_argument("cannot add a null constraint");
  }
  const std::shared_ptr<View> owner = constraint->owner();
  if (owner.get() == this) {
    return;
  }
  if (owner) {
    owner->removeConstraint(constraint);
  }
  constraints_.push_back(constraint);
  constraint->owner_ = weak_from_this();
  constraint->invalidateLayout();
}

void View::removeConstraint(const std::shared_ptr<LayoutConstraint>& constraint) {
  if (std::erase(constraints_, constraint) == 0) {
    return;
  }
  constraint->owner_.reset();
  constraint->invalidateLayout();
}

void View::addTrackingArea(const std::shared_ptr<TrackingArea>& area) {
  if (!area) {
    throw std::invalid_argument("cannot add a null tracking area");
  }
  if (std::find(trackingAreas_.begin(), trackingAreas_.end(), area) == trackingAreas_.end()) {
    trackingAreas_.push_back(area);
  }
}

void View::removeTrackingArea(const std::shared_ptr<TrackingArea>& area) { std::erase(trackingAreas_, area); }

std::shared_ptr<View> View::hitTest(Point point) {
  if (hidden_ || !frame_.standardized().contains(point)) {
    return nullptr;
  }
  const Point local = transformToSuperview().inverted().value_or(AffineTransform::identity()).apply(point);
  const ViewList subviews = subviews_;
  for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview) {
    if (std::shared_ptr<View> hit = (*subview)->hitTest(local)) {
      return hit;
    }
  }
  return shared_from_this();
}

std::shared_ptr<Responder> View::nextResponder() const {
  if (std::shared_ptr<View> superview = superview_.lock()) {
    return superview;
  }
  return window_.lock();
}

void View::attachWindow(const std::shared_ptr<Window>& window) {
  window_ = window;
  if (window) setSubtreeNeedsLayout();
  updateLayerGeometry();
  updateEffectiveAppearance();
}

void View::setSubtreeNeedsLayout() {
  needsLayout_ = true;
  for (const std::shared_ptr<View>& subview : subviews_) subview->setSubtreeNeedsLayout();
}

}  // namespace platform
