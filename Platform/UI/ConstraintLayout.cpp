#include "Platform/UI/ConstraintLayout.hpp"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/UI/LayoutConstraint.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

namespace {

// What the rules fix on one axis. Vertical values count down from the superview's top edge.
struct AxisPins {
  std::optional<double> minEdge;
  std::optional<double> maxEdge;
  std::optional<double> center;
  std::optional<double> size;
};

struct Span {
  double origin = 0;
  double length = 0;
};

Span solve(const AxisPins& pins, Span current) {
  double length = current.length;
  if (pins.size) {
    length = *pins.size;
  } else if (pins.minEdge && pins.maxEdge) {
    length = *pins.maxEdge - *pins.minEdge;
  } else if (pins.minEdge && pins.center) {
    length = 2 * (*pins.center - *pins.minEdge);
  } else if (pins.maxEdge && pins.center) {
    length = 2 * (*pins.maxEdge - *pins.center);
  }
  length = std::max(length, 0.0);
  double origin = current.origin;
  if (pins.minEdge) {
    origin = *pins.minEdge;
  } else if (pins.maxEdge) {
    origin = *pins.maxEdge - length;
  } else if (pins.center) {
    origin = *pins.center - length / 2;
  }
  return {origin, length};
}

bool isSize(LayoutAttribute attribute) {
  return attribute == LayoutAttribute::width || attribute == LayoutAttribute::height;
}

bool isVertical(LayoutAttribute attribute) {
  return attribute == LayoutAttribute::top || attribute == LayoutAttribute::bottom ||
         attribute == LayoutAttribute::height || attribute == LayoutAttribute::centerY;
}

// The superview's value of an attribute, in the axis terms of AxisPins.
double superviewValue(LayoutAttribute attribute, Size size) {
  switch (attribute) {
    case LayoutAttribute::right:
    case LayoutAttribute::trailing:
    case LayoutAttribute::width: return size.width;
    case LayoutAttribute::bottom:
    case LayoutAttribute::height: return size.height;
    case LayoutAttribute::centerX: return size.width / 2;
    case LayoutAttribute::centerY: return size.height / 2;
    default: return 0;
  }
}

void pin(AxisPins& pins, LayoutAttribute attribute, double value) {
  switch (attribute) {
    case LayoutAttribute::left:
    case LayoutAttribute::leading:
    case LayoutAttribute::top: pins.minEdge = value; break;
    case LayoutAttribute::right:
    case LayoutAttribute::trailing:
    case LayoutAttribute::bottom: pins.maxEdge = value; break;
    case LayoutAttribute::centerX:
    case LayoutAttribute::centerY: pins.center = value; break;
    case LayoutAttribute::width:
    case LayoutAttribute::height: pins.size = value; break;
    case LayoutAttribute::notAnAttribute: break;
  }
}

// Reads one constraint into the pins of the subview, when it is one of the rules applied.
void read(const LayoutConstraint& rule, const View& superview, const View& subview, AxisPins& horizontal,
          AxisPins& vertical) {
  if (!rule.isActive() || rule.relation() != LayoutRelation::equal) {
    return;
  }
  const std::shared_ptr<View> first = rule.firstItem();
  const std::shared_ptr<View> second = rule.secondItem();
  const LayoutAttribute attribute = rule.firstAttribute();
  AxisPins& pins = isVertical(attribute) ? vertical : horizontal;
  const double multiplier = rule.multiplier();
  if (first.get() == &subview && !second) {
    pin(pins, attribute, rule.constant());
    return;
  }
  if (!second || rule.secondAttribute() != attribute || (!isSize(attribute) && multiplier != 1)) {
    return;
  }
  const double reference = superviewValue(attribute, superview.bounds().size);
  if (first.get() == &subview && second.get() == &superview) {
    pin(pins, attribute, reference * multiplier + rule.constant());
  } else if (first.get() == &superview && second.get() == &subview && multiplier != 0) {
    pin(pins, attribute, (reference - rule.constant()) / multiplier);
  }
}

}  // namespace

void ConstraintLayout::placeSubviews(View& superview) {
  const Size size = superview.bounds().size;
  for (const std::shared_ptr<View>& subview : View::ViewList(superview.subviews())) {
    if (subview->translatesAutoresizingMaskIntoConstraints()) {
      continue;
    }
    AxisPins horizontal;
    AxisPins vertical;
    for (const auto* holder : {&superview, subview.get()}) {
      for (const std::shared_ptr<LayoutConstraint>& rule : holder->constraints()) {
        read(*rule, superview, *subview, horizontal, vertical);
      }
    }
    const Rect frame = subview->frame().standardized();
    const Span x = solve(horizontal, {frame.minX(), frame.width()});
    const double currentDown = superview.isFlipped() ? frame.minY() : size.height - frame.maxY();
    const Span down = solve(vertical, {currentDown, frame.height()});
    const double y = superview.isFlipped() ? down.origin : size.height - down.origin - down.length;
    const Rect placed(x.origin, y, x.length, down.length);
    if (placed != subview->frame()) {
      subview->setFrame(placed);
    }
  }
}

}  // namespace platform
