#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/StackedSegment.hpp"

namespace Tavrix {

// A bar of coloured shares side by side from the left edge over a rounded background. Shares are fractions
// of the width and are not normalised: shares adding up to less than 1 leave the background showing at the
// right, shares beyond 1 are clipped. Every layout (and appearance change) removes the layers of the last
// one and builds new ones: one for the background and one per share. Setting any property lays the view out
// at once. Made in code or by name ("StackedSegmentView"). Main thread only.
class StackedSegmentView : public platform::View {
 public:
  explicit StackedSegmentView(const platform::Rect& frame = platform::Rect());

  // The layers the last layout added, background first.
  const std::vector<std::shared_ptr<platform::Layer>>& layers() const { return layers_; }

  // The separator colour unless set; throws std::invalid_argument for a null colour.
  const platform::ColorRef& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(platform::ColorRef color);
  // The radius of the view's corners and of the background (8 unless set).
  double cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(double radius);
  // Drawn left to right in this order; a share that is not finite counts as 0. Throws
  // std::invalid_argument for a share with a null colour.
  const std::vector<StackedSegment>& segments() const { return segments_; }
  void setSegments(std::vector<StackedSegment> segments);

  // Removes the last layers and builds the background and the shares anew.
  virtual void rebuildLayers();
  virtual void addBackgroundLayer();
  virtual void addSegmentLayers();

  void layout() override;
  void viewDidChangeEffectiveAppearance() override;

 protected:
  void didInit() override;

 private:
  // A new filled layer over the bounds, added on top of the view's layer and to layers().
  void addFilledLayer(const platform::Path& path, const platform::ColorRef& color);

  std::vector<std::shared_ptr<platform::Layer>> layers_;
  platform::ColorRef backgroundColor_;
  double cornerRadius_ = 8;
  std::vector<StackedSegment> segments_;
};

}  // namespace Tavrix
