#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/UI/LayoutConstraint.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/Window.hpp"

namespace platform {
namespace {

using Strings = std::vector<std::string>;

const Appearance aqua{std::string(Appearance::aqua)};
const Appearance darkAqua{std::string(Appearance::darkAqua)};
const Appearance vibrantDark{std::string(Appearance::vibrantDark)};

// Notes every appearance hook with the appearance current while it runs, every move and every layout pass
// (the last in a log it may share with other views). It may be flipped.
class RecordingView : public View {
 public:
  explicit RecordingView(const Rect& frame, std::string name = "", Strings* layoutLog = nullptr)
      : View(frame), name_(std::move(name)), layoutLog_(layoutLog) {}
  Strings appearances;
  Strings moves;
  bool flipped = false;

  Strings takeMoves() { return std::exchange(moves, {}); }
  bool isFlipped() const override { return flipped; }
  void viewDidChangeEffectiveAppearance() override { appearances.push_back(Appearance::current().name()); }
  void viewWillMoveToSuperview(View* newSuperview) override {
    moves.push_back(newSuperview != nullptr ? "will join" : "will leave");
    // The superview is still the former one here.
    moves.push_back(superview() ? "had superview" : "had none");
  }
  void layout() override {
    View::layout();
    if (layoutLog_ != nullptr) layoutLog_->push_back(name_);
  }

 private:
  std::string name_;
  Strings* layoutLog_;
};

template <class V>
std::shared_ptr<V> add(View& parent, std::shared_ptr<V> view) {
  parent.addSubview(view);
  return view;
}

void activate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints) {
  for (const auto& constraint : constraints) constraint->setActive(true);
}

TEST(ViewAppearance, InheritedFromTheSuperviewAndOverriddenByTheViewsOwn) {
  auto root = View::create(Rect(0, 0, 100, 100));
  auto middle = add(*root, View::create<RecordingView>(Rect(0, 0, 50, 50)));
  auto leaf = add(*middle, View::create<RecordingView>(Rect(0, 0, 10, 10)));
  EXPECT_EQ(leaf->effectiveAppearance(), aqua);
  root->setAppearance(darkAqua);
  EXPECT_EQ(leaf->effectiveAppearance(), darkAqua);
  // Each hook runs once, with the new appearance current.
  EXPECT_EQ(leaf->appearances, Strings{std::string(Appearance::darkAqua)});
  EXPECT_EQ(middle->appearances, Strings{std::string(Appearance::darkAqua)});
  // A view's own appearance wins and shields its subviews from later changes; setting it again is no change.
  middle->setAppearance(vibrantDark);
  middle->setAppearance(vibrantDark);
  root->setAppearance(aqua);
  EXPECT_EQ(leaf->effectiveAppearance(), vibrantDark);
  const Strings twice{std::string(Appearance::darkAqua), std::string(Appearance::vibrantDark)};
  EXPECT_EQ(std::pair(leaf->appearances, middle->appearances), std::pair(twice, twice));
  EXPECT_EQ(root->effectiveAppearance(), aqua);
}

TEST(ViewTree, MovesCallTheHookBeforeTheChangeAndTakeTheViewFromItsFormerSuperview) {
  auto first = View::create(Rect(0, 0, 10, 10));
  auto second = View::create(Rect(0, 0, 10, 10));
  auto view = add(*first, View::create<RecordingView>(Rect(0, 0, 5, 5)));
  EXPECT_EQ(view->takeMoves(), (Strings{"will join", "had none"}));
  second->addSubview(view);
  EXPECT_EQ(view->takeMoves(), (Strings{"will join", "had superview"}));
  EXPECT_TRUE(first->subviews().empty());
  EXPECT_EQ(view->superview(), second);
  view->removeFromSuperview();
  EXPECT_EQ(view->takeMoves(), (Strings{"will leave", "had superview"}));
  EXPECT_EQ(view->superview(), nullptr);

  second->addSubview(view);
  std::weak_ptr<RecordingView> watched = view;
  view.reset();
  // The superview holds the last reference while the view leaves it.
  second->subviews().front()->removeFromSuperview();
  EXPECT_TRUE(watched.expired());
  EXPECT_TRUE(second->subviews().empty());

  EXPECT_THROW(first->addSubview(first), std::invalid_argument);
  auto child = add(*first, View::create());
  EXPECT_THROW(child->addSubview(first), std::invalid_argument);
  EXPECT_THROW(first->addSubview(nullptr), std::invalid_argument);

  // Setting the subviews keeps the given order once each and removes the rest.
  auto a = View::create(), b = View::create();
  first->addSubview(a);
  first->setSubviews({b, a, b});
  EXPECT_EQ(first->subviews(), (View::ViewList{b, a}));
  EXPECT_FALSE(child->superview());
  first->setSubviews({});
  EXPECT_TRUE(first->subviews().empty());
  EXPECT_FALSE(a->superview());
}

TEST(ViewGeometry, BackingLayerFollowsTheFrameHiddenFlagAndFlip) {
  auto parent = View::create<RecordingView>(Rect(0, 0, 100, 100));
  parent->flipped = true;
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
  parent->addSubview(child);  // Under a flipped superview an unflipped view's layer flips back.
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
  auto flipped = add(*root, View::create<RecordingView>(Rect(20, 10, 100, 80)));
  flipped->flipped = true;
  auto inner = add(*flipped, View::create(Rect(5, 10, 40, 30)));
  // flipped's top-left corner is at (20, 90) in the window; inner's frame runs 10 to 40 down from it, so
  // inner's bottom-left corner is at (25, 50).
  EXPECT_EQ(inner->convertFromWindow({25, 50}), (Point{0, 0}));
  EXPECT_EQ(inner->convertFromWindow({27, 52}), (Point{2, 2}));
  EXPECT_EQ(flipped->convertFromWindow({20, 90}), (Point{0, 0}));
  // The visible part is what every superview's bounds leave.
  inner->setFrame(Rect(80, 70, 40, 30));
  EXPECT_EQ(inner->visibleRect(), Rect(0, 20, 20, 10));
  inner->setFrame(Rect(200, 0, 10, 10));
  EXPECT_TRUE(inner->visibleRect().isEmpty());
}

TEST(LayoutPass, RunsOncePerChangeSuperviewsFirstAndForEveryViewJoiningAWindow) {
  Strings log;
  auto parent = View::create<RecordingView>(Rect(0, 0, 100, 100), "parent", &log);
  auto child = add(*parent, View::create<RecordingView>(Rect(0, 0, 10, 10), "child", &log));
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(log, Strings{"parent"});
  // Two changes before the pass make one layout; a pass with nothing to do makes none; a move is no change.
  child->setFrameSize({20, 20});
  child->setFrameSize({30, 30});
  parent->setNeedsLayout(true);
  parent->layoutSubtreeIfNeeded();
  parent->layoutSubtreeIfNeeded();
  child->setFrameOrigin({5, 5});
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(log, (Strings{"parent", "parent", "child"}));
  // A layout that resizes a subview lays it out in the same pass.
  child->setTranslatesAutoresizingMaskIntoConstraints(false);
  child->widthAnchor().constraintEqualToConstant(40)->setActive(true);
  parent->setNeedsLayout(true);
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(child->frame().size.width, 40);
  EXPECT_EQ(log, (Strings{"parent", "parent", "child", "parent", "child"}));

  // Joining a window lays out the view and every view below it, even one added unchanged.
  auto window = Window::create(Rect(0, 0, 200, 100), 0);
  window->contentView()->addSubview(parent);
  parent->addSubview(View::create<RecordingView>(Rect(0, 0, 5, 5), "late", &log));
  window->contentView()->layoutSubtreeIfNeeded();
  EXPECT_EQ(log, (Strings{"parent", "parent", "child", "parent", "child", "parent", "child", "late"}));
  auto content = View::create<RecordingView>(Rect(0, 0, 200, 100), "content", &log);
  window->setContentView(content);
  content->layoutSubtreeIfNeeded();
  EXPECT_EQ(log.back(), "content");
}

TEST(ConstraintLayout, PinsToTheSuperviewWithConstantsCountingDownward) {
  auto parent = View::create(Rect(0, 0, 200, 100));
  auto child = add(*parent, View::create(Rect(1, 2, 3, 4)));
  child->setTranslatesAutoresizingMaskIntoConstraints(false);
  auto top = child->topAnchor().constraintEqualTo(parent->topAnchor(), 10);
  activate({top, child->bottomAnchor().constraintEqualTo(parent->bottomAnchor(), -20),
            child->leadingAnchor().constraintEqualTo(parent->leadingAnchor(), 30),
            child->trailingAnchor().constraintEqualTo(parent->trailingAnchor(), -40)});
  EXPECT_EQ(top->owner(), parent);
  parent->layoutSubtreeIfNeeded();
  // In the y-up parent, 10 below the top and 20 above the bottom.
  EXPECT_EQ(child->frame(), Rect(30, 20, 130, 70));
  top->setConstant(0);  // A new constant lays the subview out again at the next pass.
  EXPECT_TRUE(parent->needsLayout());
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(child->frame(), Rect(30, 20, 130, 80));

  // A centre and a fixed size, and a rule written from the superview's side.
  auto centred = add(*parent, View::create(Rect(0, 0, 1, 1)));
  centred->setTranslatesAutoresizingMaskIntoConstraints(false);
  constexpr auto centerX = LayoutAttribute::centerX, centerY = LayoutAttribute::centerY;
  activate({LayoutConstraint::create(parent, centerX, LayoutRelation::equal, centred, centerX, 1, 10),
            LayoutConstraint::create(centred, centerY, LayoutRelation::equal, parent, centerY, 1, 0),
            centred->widthAnchor().constraintEqualToConstant(20),
            centred->heightAnchor().constraintEqualToConstant(10)});
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(centred->frame(), Rect(80, 45, 20, 10));
  // Views that translate their autoresizing mask keep their frames.
  centred->setTranslatesAutoresizingMaskIntoConstraints(true);
  centred->setFrame(Rect(1, 1, 1, 1));
  parent->setNeedsLayout(true);
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(centred->frame(), Rect(1, 1, 1, 1));
}

TEST(LayoutConstraintRecord, ChecksItsItemsAndLeavingASuperviewDropsTheConstraintsThatNameTheView) {
  auto view = View::create(Rect(0, 0, 10, 10));
  auto other = View::create();
  EXPECT_THROW(view->topAnchor().constraintEqualTo(view->leadingAnchor()), std::invalid_argument);
  EXPECT_THROW(view->topAnchor().constraintEqualToConstant(3), std::invalid_argument);
  // Views in different trees have no common ancestor.
  EXPECT_THROW(view->topAnchor().constraintEqualTo(other->topAnchor())->setActive(true), std::logic_error);

  // Leaving a superview drops the constraints that name the view.
  auto parent = View::create(Rect(0, 0, 100, 100));
  auto child = add(*parent, View::create(Rect(0, 0, 10, 10)));
  auto sibling = add(*parent, View::create(Rect(0, 0, 10, 10)));
  auto pin = child->topAnchor().constraintEqualTo(parent->topAnchor());
  auto between = sibling->leadingAnchor().constraintEqualTo(parent->leadingAnchor());
  auto width = child->widthAnchor().constraintEqualToConstant(5);
  activate({pin, between, width});
  EXPECT_EQ(width->owner(), child);
  child->removeFromSuperview();
  EXPECT_FALSE(pin->isActive());
  EXPECT_TRUE(between->isActive());
  EXPECT_TRUE(width->isActive());  // The view's own size rule goes with it.
  EXPECT_EQ(parent->constraints().size(), 1u);
  EXPECT_THROW(pin->setActive(true), std::logic_error);
}

// The title bar, buttons and a content view filling the window are checked through Tavrix's window
// (InertViews.ClicksPassThroughAndDragsOnANonInteractiveTableMoveTheWindow).
TEST(Window, OneKeyWindowAtATimeAndTheContentInheritsTheWindowsAppearance) {
  auto first = Window::create(Rect(0, 0, 10, 10), Window::titled);
  auto second = Window::create(Rect(0, 0, 10, 10), Window::titled);
  first->makeKeyWindow();
  second->makeKeyWindow();
  EXPECT_FALSE(first->isKeyWindow());
  EXPECT_TRUE(second->isKeyWindow());
  second->resignKeyWindow();
  EXPECT_FALSE(second->isKeyWindow());

  auto child = View::create();
  first->contentView()->addSubview(child);
  first->setAppearance(darkAqua);
  EXPECT_TRUE(child->effectiveAppearance().isDark());
  first->setAppearance(std::nullopt);
  EXPECT_FALSE(child->effectiveAppearance().isDark());

  second->setContentView(first->contentView());  // A content view taken by another window leaves the first.
  EXPECT_EQ(std::tuple(first->contentView(), child->window()), std::tuple(nullptr, second));
}

}  // namespace
}  // namespace platform
