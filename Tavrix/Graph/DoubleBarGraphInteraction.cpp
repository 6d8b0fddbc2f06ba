// The pointer side of DoubleBarGraph: hover, highlight, delete rectangle and clicks.
#include <cmath>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Tavrix/Controls/NSImage.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/DoubleBarGraph.hpp"

namespace Tavrix {

namespace {

constexpr double deleteSide = 16;

}  // namespace

void DoubleBarGraph::notifyIndexChanged() const {
  if (indexChanged_) {
    indexChanged_();
  }
}

void DoubleBarGraph::mouseMoved(const platform::Event& event) {
  const platform::Point pointer = convertFromWindow(event.locationInWindow);
  const std::optional<std::int64_t> previous = index_;
  const double dx = pointer.x - leftOffset_;
  if (dx < 0) {
    index_.reset();
    deleteRect_.reset();
    notifyIndexChanged();
  } else {
    if (data_.empty()) {
      return;
    }
    const auto [gap, columnWidth] = columns();
    const double stride = gap + columnWidth;
    const double step = std::trunc(stride);
    if (step >= 1) {
      const double column = std::floor(std::trunc(dx) / step);
      if (column >= static_cast<double>(data_.size())) {
        // Right of the last column: no column, so nothing to delete.
        index_.reset();
        deleteRect_.reset();
        if (previous) {
          notifyIndexChanged();
        }
      } else {
        index_ = static_cast<std::int64_t>(column);
        if (index_ != previous) {
          notifyIndexChanged();
        }
        const platform::Rect rect(stride * column + leftOffset_ + columnWidth / 2 - deleteSide / 2,
                                  bounds().height() - deleteSide, deleteSide, deleteSide);
        const bool inside = rect.contains(pointer);
        if (inside != mouseInDeletionRect_) {
          mouseInDeletionRect_ = inside;
          setNeedsDisplayInRect(rect);
        }
        deleteRect_ = rect;
      }
    }
  }
  if (index_ != previous) {
    setNeedsDisplay(true);
  }
}

void DoubleBarGraph::mouseDown(const platform::Event& event) {
  if (deleteRect_ && deleteRect_->contains(convertFromWindow(event.locationInWindow)) && clickedInRect_) {
    clickedInRect_();
  }
}

void DoubleBarGraph::mouseExited(const platform::Event&) {
  index_.reset();
  setNeedsDisplay(true);
  notifyIndexChanged();
}

void DoubleBarGraph::drawHighlight(double from, double to) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context) {
    return;
  }
  if (interactionImage_ && deleteRect_) {
    const std::shared_ptr<const platform::Image> icon =
        mouseInDeletionRect_ ? NSImage::tinted(interactionImage_, platform::Color::red()) : interactionImage_;
    context->drawImage(*icon, *deleteRect_);
  }
  const double height = bounds().height();
  platform::BezierPath band;
  band.move({from - 1, height - topOffset_});
  band.line({to + 1, height - topOffset_});
  band.line({to + 1, topOffset_});
  band.line({from - 1, topOffset_});
  band.close();
  context->setFillColor(SystemColors::alternatingContentBackgroundColors()[1]->rgba());
  context->fill(band);
}

}  // namespace Tavrix
