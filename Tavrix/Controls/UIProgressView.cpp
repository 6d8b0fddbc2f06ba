#include "Tavrix/Controls/UIProgressView.hpp"

#include "Platform/Graphics/BezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr double redUpTo = 0.2;
constexpr double trackOpacity = 0.1;

platform::Path line(double fromX, double toX, double y) {
  platform::BezierPath path;
  path.move({fromX, y});
  path.line({toX, y});
  return path.path();
}

}  // namespace

std::array<UIProgressView::Stroke, 2> UIProgressView::body(platform::Size size) const {
  platform::StrokeStyle style;
  style.lineWidth = lineWidth;
  style.lineCap = platform::LineCap::round;
  style.lineJoin = platform::LineJoin::miter;
  style.miterLimit = 10;

  const platform::ColorRef& color =
      progress > redUpTo ? SystemColors::systemGreen() : SystemColors::systemRed();
  const double shown = progress >= 0 && progress <= 1 ? progress : 0;
  const double middle = size.height * 0.5;
  return {Stroke{line(lineWidth, size.width - lineWidth, middle), style,
                 color->withAlphaComponent(trackOpacity)->rgba()},
          Stroke{line(lineWidth, (size.width - lineWidth) * shown, middle), style, color->rgba()}};
}

void UIProgressView::draw(platform::GraphicsContext& context, platform::Size size) const {
  context.saveGState();
  for (const Stroke& stroke : body(size)) {
    context.setStrokeColor(stroke.color);
    context.strokePath(stroke.path, stroke.style);
  }
  context.restoreGState();
}

}  // namespace Tavrix
