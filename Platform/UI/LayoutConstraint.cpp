#include "Platform/UI/LayoutConstraint.hpp"

#include <stdexcept>
#include <utility>

#include "Platform/UI/View.hpp"

namespace platform {

namespace {

bool isSize(LayoutAttribute attribute) {
  return attribute == LayoutAttribute::width || attribute == LayoutAttribute::height;
}

bool isVertical(LayoutAttribute attribute) {
  return attribute == LayoutAttribute::top || attribute == LayoutAttribute::bottom ||
         attribute == LayoutAttribute::height || attribute == LayoutAttribute::centerY;
}

// The deepest view that is the given view or one of its superviews and also holds the other view in its
// tree (is it or one of its superviews); null when there is none.
std::shared_ptr<View> nearestCommonAncestor(const std::shared_ptr<View>& first, const View& second) {
  for (std::shared_ptr<View> candidate = first; candidate; candidate = candidate->superview()) {
    if (&second == candidate.get() || second.isDescendantOf(*candidate)) {
      return candidate;
    }
  }
  return nullptr;
}

}  // namespace

std::shared_ptr<LayoutConstraint> LayoutConstraint::create(const std::shared_ptr<View>& firstItem,
                                                           LayoutAttribute firstAttribute,
                                                           LayoutRelation relation,
                                                           const std::shared_ptr<View>& secondItem,
                                                           LayoutAttribute secondAttribute, double multiplier,
                                                           double constant) {
  if (!firstItem || firstAttribute == LayoutAttribute::notAnAttribute) {
    throw std::invalid_argument("a constraint needs a first item and attribute");
  }
  if (secondItem) {
    if (secondAttribute == LayoutAttribute::notAnAttribute) {
      throw std::invalid_argument("a constraint's second item needs an attribute");
    }
    if (isVertical(firstAttribute) != isVertical(secondAttribute)) {
      throw std::invalid_argument("a constraint cannot relate a horizontal and a vertical attribute");
    }
  } else if (!isSize(firstAttribute) || secondAttribute != LayoutAttribute::notAnAttribute) {
    throw std::invalid_argument("only a width or height can be constrained to a constant");
  }
  std::shared_ptr<LayoutConstraint> constraint(new LayoutConstraint);
  constraint->firstItem_ = firstItem;
  constraint->firstAttribute_ = firstAttribute;
  constraint->relation_ = relation;
  constraint->secondItem_ = secondItem;
  constraint->secondAttribute_ = secondItem ? secondAttribute : LayoutAttribute::notAnAttribute;
  constraint->multiplier_ = multiplier;
  constraint->constant_ = constant;
  return constraint;
}

void LayoutConstraint::setConstant(double constant) {
  constant_ = constant;
  invalidateLayout();
}

void LayoutConstraint::invalidateLayout() const {
  for (const std::shared_ptr<View>& item : {firstItem(), secondItem()}) {
    if (std::shared_ptr<View> superview = item ? item->superview() : nullptr) {
      superview->setNeedsLayout(true);
    }
  }
}

void LayoutConstraint::setActive(bool active) {
  if (!active) {
    if (std::shared_ptr<View> owner = owner_.lock()) {
      owner->removeConstraint(shared_from_this());
    }
    return;
  }
  if (isActive()) {
    return;
  }
  std::shared_ptr<View> first = firstItem();
  std::shared_ptr<View> second = secondItem();
  if (!first || (!second && secondAttribute_ != LayoutAttribute::notAnAttribute)) {
    throw std::logic_error("cannot activate a constraint whose item is gone");
  }
  std::shared_ptr<View> owner = second ? nearestCommonAncestor(first, *second) : first;
  if (!owner) {
    throw std::logic_error("cannot activate a constraint between views without a common ancestor");
  }
  owner->addConstraint(shared_from_this());
}

LayoutAnchor::LayoutAnchor(std::weak_ptr<View> view, LayoutAttribute attribute)
    : view_(std::move(view)), attribute_(attribute) {}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintEqualTo(const LayoutAnchor& other,
                                                                  double constant) const {
  std::shared_ptr<View> second = other.view();
  if (!second) {
    throw std::invalid_argument("the other anchor's view is gone");
  }
  return LayoutConstraint::create(view(), attribute_, LayoutRelation::equal, second, other.attribute_, 1,
                                  constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintEqualToConstant(double constant) const {
  return LayoutConstraint::create(view(), attribute_, LayoutRelation::equal, nullptr,
                                  LayoutAttribute::notAnAttribute, 1, constant);
}

}  // namespace platform
