#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Graphics/AffineTransform.hpp"
#include "Platform/Graphics/AnimatableValue.hpp"
#include "Platform/Graphics/AnimationList.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace platform {

class GraphicsContext;

// A node of a layer tree: geometry, the look of its background, border and shadow, its sublayers and mask,
// and the animations recorded on it. A model only: nothing draws until a renderer walks the tree. Setting a
// property takes effect at once (there are no implicit animations). Layers are reference objects owned
// through std::shared_ptr (make them with std::make_shared); a layer holds its sublayers and its mask
// strongly and its superlayer weakly. Main thread only.
//
// Animatable key paths: "bounds", "position", "anchorPoint", "zPosition", "opacity", "cornerRadius",
// "borderWidth", "borderColor", "backgroundColor", "shadowOpacity", "shadowColor", "shadowOffset",
// "shadowRadius", "shadowPath" and "transform.rotation.z" (an angle in radians that turns the transform),
// plus those the subclasses add.
class Layer : public std::enable_shared_from_this<Layer> {
 public:
  using LayerList = std::vector<std::shared_ptr<Layer>>;

  Layer() = default;
  virtual ~Layer() = default;
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;

  // Geometry. The anchor point, in units of the bounds size, is the point of the bounds that sits at
  // position in the superlayer, and the point the transform turns and scales about.
  Rect bounds() const { return bounds_; }
  void setBounds(const Rect& bounds) { bounds_ = bounds; }
  Point position() const { return position_; }
  void setPosition(Point position) { position_ = position; }
  Point anchorPoint() const { return anchorPoint_; }
  void setAnchorPoint(Point anchorPoint) { anchorPoint_ = anchorPoint; }
  double zPosition() const { return zPosition_; }
  void setZPosition(double zPosition) { zPosition_ = zPosition; }
  const AffineTransform& transform() const { return transform_; }
  void setTransform(const AffineTransform& transform) { transform_ = transform; }

  // The bounds as they lie in the superlayer: the smallest rectangle holding the transformed bounds.
  Rect frame() const;
  // Sets the bounds size to the standardised rectangle's size (the bounds origin stays) and the position so
  // that the anchor point lands on the matching point of the rectangle. Under a transform other than the
  // identity the rectangle is still taken as untransformed, so frame() will read back differently.
  void setFrame(const Rect& frame);

  // Maps points of this layer's own (bounds) space into its superlayer's space, with the model geometry or
  // with the geometry presented at a media time.
  AffineTransform transformToSuperlayer() const;
  AffineTransform presentationTransformToSuperlayer(double time) const;

  double opacity() const { return opacity_; }
  void setOpacity(double opacity) { opacity_ = opacity; }
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }
  // Clips the contents and sublayers to the bounds, rounded by cornerRadius.
  bool masksToBounds() const { return masksToBounds_; }
  void setMasksToBounds(bool masks) { masksToBounds_ = masks; }
  // Rounds the background, the border and the clip (not the contents of a shape layer).
  double cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(double radius) { cornerRadius_ = radius; }
  // The border is drawn inside the bounds, above the sublayers.
  double borderWidth() const { return borderWidth_; }
  void setBorderWidth(double width) { borderWidth_ = width; }
  const std::optional<Rgba>& borderColor() const { return borderColor_; }
  void setBorderColor(std::optional<Rgba> color) { borderColor_ = color; }
  const std::optional<Rgba>& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(std::optional<Rgba> color) { backgroundColor_ = color; }

  double shadowOpacity() const { return shadowOpacity_; }
  void setShadowOpacity(double opacity) { shadowOpacity_ = opacity; }
  const std::optional<Rgba>& shadowColor() const { return shadowColor_; }
  void setShadowColor(std::optional<Rgba> color) { shadowColor_ = color; }
  Size shadowOffset() const { return shadowOffset_; }
  void setShadowOffset(Size offset) { shadowOffset_ = offset; }
  double shadowRadius() const { return shadowRadius_; }
  void setShadowRadius(double radius) { shadowRadius_ = radius; }
  const std::optional<Path>& shadowPath() const { return shadowPath_; }
  void setShadowPath(std::optional<Path> path) { shadowPath_ = std::move(path); }

  // Recorded for the renderer, which draws vectors at its output scale.
  double contentsScale() const { return contentsScale_; }
  void setContentsScale(double scale) { contentsScale_ = scale; }
  // When set, the layer's own space runs y-down from the top of its bounds for its contents and sublayers.
  bool isGeometryFlipped() const { return geometryFlipped_; }
  void setGeometryFlipped(bool flipped) { geometryFlipped_ = flipped; }
  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  // The tree. A layer that holds sublayers or a mask must be owned by a std::shared_ptr (else
  // std::logic_error). Adding a layer that is this layer or holds this layer in its tree (through sublayers
  // or masks) throws std::invalid_argument, as does a null layer.
  std::shared_ptr<Layer> superlayer() const { return superlayer_.lock(); }
  // Absent until a sublayer is added or a list is set; stays present (possibly empty) after that.
  const std::optional<LayerList>& sublayers() const { return sublayers_; }
  // Detaches the current sublayers and adds the given ones in order (each leaves its old superlayer).
  void setSublayers(std::optional<LayerList> sublayers);
  // Appends the layer on top of the others, after taking it from its superlayer (this one included).
  // Layers are taken by value, so a reference into this layer's own list may be passed.
  void addSublayer(std::shared_ptr<Layer> layer);
  void removeFromSuperlayer();

  // The layer whose rendered alpha, in this layer's space, masks this layer. It is not a sublayer.
  const std::shared_ptr<Layer>& mask() const { return mask_; }
  void setMask(std::shared_ptr<Layer> mask);

  // Animations. addAnimation validates the animation (BasicAnimation::validate) and, for a key path the
  // layer knows, that its values are of the property's kind (else std::invalid_argument); it stores a copy
  // under key, replacing one with the same key, and stamps a zero beginTime with MediaClock::now(). The
  // queries leave out animations that have finished by MediaClock::now() and are removed on completion.
  void addAnimation(const BasicAnimation& animation, std::string key);
  void removeAllAnimations();
  std::optional<BasicAnimation> animation(std::string_view key) const;
  std::vector<std::string> animationKeys() const;

  // The model value of an animatable key path, or nothing for a key path this layer does not know.
  virtual std::optional<AnimatableValue> modelValue(std::string_view keyPath) const;
  // The value shown at a media time: the model value with the animations of the key path applied. Nothing
  // for an unknown key path; std::invalid_argument for a NaN time. An infinite time is the settled look.
  std::optional<AnimatableValue> presentationValue(std::string_view keyPath, double time) const;
  // The transform shown at a media time, turned by the presented "transform.rotation.z".
  AffineTransform presentationTransform(double time) const;

  // Draws the layer's own content in its own space; the renderer calls it. The base draws nothing;
  // subclasses override it.
  virtual void drawInContext(GraphicsContext& context);
  // The layers the renderer draws above the content, in list order before sorting by zPosition: the
  // sublayers. A layer that hosts more drawing in the same place (a view's layer, whose subviews draw above
  // its sublayers and inside its clip) adds to them.
  virtual LayerList renderedSublayers() const;

 private:
  void requireAttachable(const std::shared_ptr<Layer>& layer, std::string_view operation);
  void attach(const std::shared_ptr<Layer>& layer);
  bool holdsInTree(const Layer& layer) const;

  Rect bounds_;
  Point position_;
  Point anchorPoint_{0.5, 0.5};
  double zPosition_ = 0;
  AffineTransform transform_;
  double opacity_ = 1;
  bool hidden_ = false;
  bool masksToBounds_ = false;
  double cornerRadius_ = 0;
  double borderWidth_ = 0;
  std::optional<Rgba> borderColor_ = Rgba{0, 0, 0, 1};
  std::optional<Rgba> backgroundColor_;
  double shadowOpacity_ = 0;
  std::optional<Rgba> shadowColor_ = Rgba{0, 0, 0, 1};
  Size shadowOffset_{0, -3};
  double shadowRadius_ = 3;
  std::optional<Path> shadowPath_;
  double contentsScale_ = 1;
  bool geometryFlipped_ = false;
  std::string name_;
  std::weak_ptr<Layer> superlayer_;
  std::optional<LayerList> sublayers_;
  std::shared_ptr<Layer> mask_;
  AnimationList animations_;
};

}  // namespace platform
