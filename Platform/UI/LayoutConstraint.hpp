#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

class View;

// The attributes of a view that constraints relate, with the platform's raw values. Vertical constants
// count downwards (a top constant of 10 places a view 10 points below its superview's top) in flipped and
// unflipped views alike.
enum class LayoutAttribute {
  notAnAttribute = 0,
  left = 1,
  right = 2,
  top = 3,
  bottom = 4,
  leading = 5,
  trailing = 6,
  width = 7,
  height = 8,
  centerX = 9,
  centerY = 10
};

enum class LayoutRelation { lessThanOrEqual = -1, equal = 0, greaterThanOrEqual = 1 };

// A record of a layout rule: firstItem.firstAttribute relation secondItem.secondAttribute x multiplier +
// constant, or firstItem.firstAttribute relation constant for a fixed width or height. A constraint is
// active while a view holds it: activating it adds it to the nearest common ancestor of its items (the item
// itself for a fixed size). The items are held weakly. Layout (View::layout) applies only the rules a
// simple layout needs, see ConstraintLayout; the rest are kept as records. Main thread only.
class LayoutConstraint : public std::enable_shared_from_this<LayoutConstraint> {
 public:
  // Throws std::invalid_argument for a null first item, an attribute of one axis related to an attribute of
  // the other, a position attribute without a second item, or a second item without an attribute.
  static std::shared_ptr<LayoutConstraint> create(const std::shared_ptr<View>& firstItem,
                                                  LayoutAttribute firstAttribute, LayoutRelation relation,
                                                  const std::shared_ptr<View>& secondItem,
                                                  LayoutAttribute secondAttribute, double multiplier,
                                                  double constant);

  std::shared_ptr<View> firstItem() const { return firstItem_.lock(); }
  LayoutAttribute firstAttribute() const { return firstAttribute_; }
  LayoutRelation relation() const { return relation_; }
  std::shared_ptr<View> secondItem() const { return secondItem_.lock(); }
  LayoutAttribute secondAttribute() const { return secondAttribute_; }
  double multiplier() const { return multiplier_; }

  double constant() const { return constant_; }
  // Marks the layout as needed (invalidateLayout).
  void setConstant(double constant);
  const std::string& identifier() const { return identifier_; }
  void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

  // True while a view holds the constraint.
  bool isActive() const { return !owner_.expired(); }
  // Activating adds the constraint to the nearest common ancestor of its items (std::logic_error when they
  // have none, or an item is gone); deactivating removes it from the view that holds it.
  void setActive(bool active);

  // The view that holds the constraint, or null.
  std::shared_ptr<View> owner() const { return owner_.lock(); }

  // Marks the superviews of the items, which place them, as needing layout.
  void invalidateLayout() const;

 private:
  friend class View;  // View::addConstraint and View::removeConstraint keep owner_ in step.
  LayoutConstraint() = default;

  std::weak_ptr<View> firstItem_;
  LayoutAttribute firstAttribute_ = LayoutAttribute::notAnAttribute;
  LayoutRelation relation_ = LayoutRelation::equal;
  std::weak_ptr<View> secondItem_;
  LayoutAttribute secondAttribute_ = LayoutAttribute::notAnAttribute;
  double multiplier_ = 1;
  double constant_ = 0;
  std::string identifier_;
  std::weak_ptr<View> owner_;
};

// One attribute of one view, from which constraints are made (View::topAnchor and its siblings).
class LayoutAnchor {
 public:
  LayoutAnchor(std::weak_ptr<View> view, LayoutAttribute attribute);

  std::shared_ptr<View> view() const { return view_.lock(); }
  LayoutAttribute attribute() const { return attribute_; }

  // This attribute equal to the other anchor's plus constant (not yet active). Throws as
  // LayoutConstraint::create does, e.g. for anchors of different axes.
  std::shared_ptr<LayoutConstraint> constraintEqualTo(const LayoutAnchor& other, double constant = 0) const;
  // A fixed width or height (not yet active); std::invalid_argument for a position anchor.
  std::shared_ptr<LayoutConstraint> constraintEqualToConstant(double constant) const;

 private:
  std::weak_ptr<View> view_;
  LayoutAttribute attribute_;
};

}  // namespace platform
