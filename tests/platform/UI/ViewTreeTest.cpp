#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/UI/LayoutConstraint.hpp"
#include "Platform/UI/View.hpp"

namespace platform {
namespace {

const Appearance aqua{std::string(Appearance::aqua)};
const Appearance darkAqua{std::string(Appearance::darkAqua)};
const Appearance vibrantDark{std::string(Appearance::vibrantDark)};

// Notes every appearance hook with the appearance current while it runs, and every move.
class RecordingView : public View {
 public:
  using View::View;
  std::vector<std::string> appearances;
  std::vector<std::string> moves;

  void viewDidChangeEffectiveAppearance() override { appearances.push_back(Appearance::current().name()); }
  void viewWillMoveToSuperview(View* newSuperview) override {
    moves.push_back(newSuperview != nullptr ? "will join" : "will leave");
    // The superview is still the former one here.
    moves.push_back(superview() ? "had superview" : "had none");
  }
  void viewDidMoveToSuperview() override { moves.push_back(superview() ? "joined" : "left"); }
};

class FlippedView : public View {
 public:
  using View::View;
  bool isFlipped() const override { return true; }
};

TEST(ViewAppearance, InheritedFromTheSuperviewAndOverriddenByTheViewsOwn) {
  auto root = View::create(Rect(0, 0, 100, 100));
  auto middle = View::create<RecordingView>(Rect(0, 0, 50, 50));
  auto leaf = View::create<RecordingView>(Rect(0, 0, 10, 10));
  middle->addSubview(leaf);
  root->addSubview(middle);
  EXPECT_EQ(leaf->effectiveAppearance(), aqua);
  EXPECT_TRUE(leaf->appearances.empty());

  root->setAppearance(darkAqua);
  EXPECT_EQ(middle->effectiveAppearance(), darkAqua);
  EXPECT_EQ(leaf->effectiveAppearance(), darkAqua);
  // Each hook runs once, with the new appearance current.
  EXPECT_EQ(leaf->appearances, std::vector<std::string>{std::string(Appearance::darkAqua)});
  EXPECT_EQ(middle->appearances, std::vector<std::string>{std::string(Appearance::darkAqua)});

  // A view's own appearance wins over the inherited one, and shields its subviews from later changes.
  middle->setAppearance(vibrantDark);
  EXPECT_EQ(leaf->effectiveAppearance(), vibrantDark);
  leaf->appearances.clear();
  root->setAppearance(aqua);
  EXPECT_EQ(leaf->effectiveAppearance(), vibrantDark);
  EXPECT_TRUE(leaf->appearances.empty());
  EXPECT_EQ(root->effectiveAppearance(), aqua);

  // Setting the same appearance again is no change.
  middle->appearances.clear();
  middle->setAppearance(vibrantDark);
  EXPECT_TRUE(middle->appearances.empty());

  // Moving into another tree changes the inherited appearance and calls the hook.
  middle->setAppearance(std::nullopt);
  auto darkRoot = View::create(Rect(0, 0, 10, 10));
  darkRoot->setAppearance(darkAqua);
  leaf->appearances.clear();
  darkRoot->addSubview(leaf);
  EXPECT_EQ(leaf->effectiveAppearance(), darkAqua);
  EXPECT_EQ(leaf->appearances, std::vector<std::string>{std::string(Appearance::darkAqua)});
  leaf->removeFromSuperview();
  EXPECT_EQ(leaf->effectiveAppearance(), aqua);
}

TEST(ViewTree, MovesCallTheHooksAroundTheChangeAndTakeTheViewFromItsFormerSuperview) {
  auto first = View::create(Rect(0, 0, 10, 10));
  auto second = View::create(Rect(0, 0, 10, 10));
  auto view = View::create<RecordingView>(Rect(0, 0, 5, 5));
  first->addSubview(view);
  EXPECT_EQ(view->moves, (std::vector<std::string>{"will join", "had none", "joined"}));
  view->moves.clear();
  second->addSubview(view);
  EXPECT_EQ(view->moves, (std::vector<std::string>{"will join", "had superview", "joined"}));
  EXPECT_TRUE(first->subviews().empty());
  EXPECT_EQ(view->superview(), second);
  EXPECT_EQ(view->nextResponder(), second);

  view->moves.clear();
  view->removeFromSuperview();
  EXPECT_EQ(view->moves, (std::vector<std::string>{"will leave", "had superview", "left"}));
  EXPECT_EQ(view->nextResponder(), nullptr);

  second->addSubview(view);
  std::weak_ptr<RecordingView> watched = view;
  view.reset();
  // The superview holds the last reference while the view leaves it.
  second->subviews().front()->removeFromSuperview();
  EXPECT_TRUE(watched.expired());
  EXPECT_TRUE(second->subviews().empty());

  EXPECT_THROW(first->addSubview(first), std::invalid_argument);
  auto child = View::create();
  first->addSubview(child);
  EXPECT_THROW(child->addSubview(first), std::invalid_argument);
  EXPECT_THROW(first->addSubview(nullptr), std::invalid_argument);
}

TEST(ViewTree, SetSubviewsKeepsTheGivenOrderAndRemovesTheRest) {
  auto parent = View::create();
  auto a = View::create();
  auto b = View::create();
  auto c = View::create();
  parent->addSubview(a);
  parent->addSubview(b);
  parent->setSubviews({c, a, c});
  EXPECT_EQ(parent->subviews(), (View::ViewList{c, a}));
  EXPECT_FALSE(b->superview());
  parent->setSubviews({});
  EXPECT_TRUE(parent->subviews().empty());
  EXPECT_FALSE(a->superview());
}

TEST(ViewTree, LeavingASuperviewDropsTheConstraintsThatNameTheView) {
  auto parent = View::create(Rect(0, 0, 100, 100));
  auto child = View::create(Rect(0, 0, 10, 10));
  auto sibling = View::create(Rect(0, 0, 10, 10));
  parent->addSubview(child);
  parent->addSubview(sibling);
  auto pin = child->topAnchor().constraintEqualTo(parent->topAnchor());
  auto between = sibling->leadingAnchor().constraintEqualTo(parent->leadingAnchor());
  auto width = child->widthAnchor().constraintEqualToConstant(5);
  LayoutConstraint::activate({pin, between, width});
  EXPECT_EQ(pin->owner(), parent);
  EXPECT_EQ(width->owner(), child);

  child->removeFromSuperview();
  EXPECT_FALSE(pin->isActive());
  EXPECT_TRUE(between->isActive());
  // The view's own size rule goes with it.
  EXPECT_TRUE(width->isActive());
  EXPECT_EQ(parent->constraints().size(), 1u);
  EXPECT_THROW(pin->setActive(true), std::logic_error);
}

TEST(ViewGeometry, BackingLayerFollowsTheFrameHiddenFlagAndFlip) {
  auto parent = View::create<FlippedView>(Rect(0, 0, 100, 100));
  auto child = View::create(Rect(10, 20, 30, 40));
  EXPECT_EQ(child->layer(), nullptr);
  child->setWantsLayer(true);
  ASSERT_NE(child->layer(), nullptr);
  EXPECT_EQ(child->layer()->frame(), Rect(10, 20, 30, 40));
  EXPECT_FALSE(child->layer()->isGeometryFlipped());

  child->setFrame(Rect(5, 6, 7, 8));
  EXPECT_EQ(child->layer()->frame(), Rect(5, 6, 7, 8));
  EXPECT_EQ(child->layer()->bounds(), Rect(0, 0, 7, 8));
  child->setHidden(true);
  EXPECT_TRUE(child->layer()->isHidden());

  // Under a flipped superview an unflipped view's layer flips back.
  parent->addSubview(child);
  EXPECT_TRUE(child->layer()->isGeometryFlipped());

  // Clearing wantsLayer drops the layer and what was set on it.
  child->layer()->setCornerRadius(4);
  child->setWantsLayer(false);
  EXPECT_EQ(child->layer(), nullptr);
  child->setWantsLayer(true);
  EXPECT_EQ(child->layer()->cornerRadius(), 0);
}

TEST(ViewGeometry, WindowCoordinatesPassThroughFlippedAndUnflippedViews) {
  auto root = View::create(Rect(0, 0, 200, 100));
  auto flipped = View::create<FlippedView>(Rect(20, 10, 100, 80));
  auto inner = View::create(Rect(5, 10, 40, 30));
  root->addSubview(flipped);
  flipped->addSubview(inner);
  // flipped's top-left corner is at (20, 90) in the window; inner's frame runs 10 to 40 down from it, so
  // inner's bottom-left corner is at (25, 50).
  EXPECT_EQ(inner->convertToWindow({0, 0}), (Point{25, 50}));
  EXPECT_EQ(inner->convertFromWindow({27, 52}), (Point{2, 2}));
  EXPECT_EQ(flipped->convertFromWindow({20, 90}), (Point{0, 0}));

  // The visible part is what every superview's bounds leave.
  inner->setFrame(Rect(80, 70, 40, 30));
  EXPECT_EQ(inner->visibleRect(), Rect(0, 20, 20, 10));
  inner->setFrame(Rect(200, 0, 10, 10));
  EXPECT_TRUE(inner->visibleRect().isEmpty());
}

}  // namespace
}  // namespace platform
