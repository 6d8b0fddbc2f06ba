#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/UI/LayoutConstraint.hpp"
#include "Platform/UI/View.hpp"

namespace platform {
namespace {

// Counts its layout passes in a log shared with other views.
class CountingView : public View {
 public:
  CountingView(const Rect& frame, std::string name, std::vector<std::string>* log)
      : View(frame), name_(std::move(name)), log_(log) {}
  int layouts = 0;

  void layout() override {
    View::layout();
    ++layouts;
    log_->push_back(name_);
  }

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

class FlippedView : public View {
 public:
  using View::View;
  bool isFlipped() const override { return true; }
};

TEST(LayoutPass, RunsOncePerChangeSuperviewsFirst) {
  std::vector<std::string> log;
  auto parent = View::create<CountingView>(Rect(0, 0, 100, 100), "parent", &log);
  auto child = View::create<CountingView>(Rect(0, 0, 10, 10), "child", &log);
  parent->addSubview(child);
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(log, (std::vector<std::string>{"parent"}));

  // Two changes before the pass make one layout; a pass with nothing to do makes none.
  child->setFrameSize({20, 20});
  child->setFrameSize({30, 30});
  parent->setNeedsLayout(true);
  log.clear();
  parent->layoutSubtreeIfNeeded();
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(log, (std::vector<std::string>{"parent", "child"}));
  EXPECT_FALSE(child->needsLayout());

  // Moving without resizing needs no layout.
  child->setFrameOrigin({5, 5});
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(child->layouts, 1);
}

TEST(LayoutPass, ALayoutThatResizesASubviewLaysItOutInTheSamePass) {
  std::vector<std::string> log;
  auto parent = View::create<FlippedView>(Rect(0, 0, 100, 60));
  auto child = View::create<CountingView>(Rect(0, 0, 10, 10), "child", &log);
  child->setTranslatesAutoresizingMaskIntoConstraints(false);
  parent->addSubview(child);
  LayoutConstraint::activate({child->topAnchor().constraintEqualTo(parent->topAnchor(), 5),
                              child->bottomAnchor().constraintEqualTo(parent->bottomAnchor(), -5),
                              child->leadingAnchor().constraintEqualTo(parent->leadingAnchor(), 10),
                              child->widthAnchor().constraintEqualToConstant(40)});
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(child->frame(), Rect(10, 5, 40, 50));
  EXPECT_EQ(log, std::vector<std::string>{"child"});
}

TEST(ConstraintLayout, PinsToTheSuperviewWithConstantsCountingDownward) {
  auto parent = View::create(Rect(0, 0, 200, 100));
  auto child = View::create(Rect(1, 2, 3, 4));
  parent->addSubview(child);
  child->setTranslatesAutoresizingMaskIntoConstraints(false);
  auto top = child->topAnchor().constraintEqualTo(parent->topAnchor(), 10);
  LayoutConstraint::activate({top, child->bottomAnchor().constraintEqualTo(parent->bottomAnchor(), -20),
                              child->leadingAnchor().constraintEqualTo(parent->leadingAnchor(), 30),
                              child->trailingAnchor().constraintEqualTo(parent->trailingAnchor(), -40)});
  EXPECT_EQ(top->owner(), parent);
  parent->layoutSubtreeIfNeeded();
  // In the y-up parent, 10 below the top and 20 above the bottom.
  EXPECT_EQ(child->frame(), Rect(30, 20, 130, 70));

  // A new constant lays the subview out again at the next pass.
  top->setConstant(0);
  EXPECT_TRUE(parent->needsLayout());
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(child->frame(), Rect(30, 20, 130, 80));

  // A centre and a fixed size, and a rule written from the superview's side.
  auto centred = View::create(Rect(0, 0, 1, 1));
  parent->addSubview(centred);
  centred->setTranslatesAutoresizingMaskIntoConstraints(false);
  LayoutConstraint::activate({parent->centerXAnchor().constraintEqualTo(centred->centerXAnchor(), 10),
                              centred->centerYAnchor().constraintEqualTo(parent->centerYAnchor()),
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

TEST(LayoutConstraintRecord, KeepsIdentifierAndConstantAndChecksItsItems) {
  auto view = View::create(Rect(0, 0, 10, 10));
  auto width = view->widthAnchor().constraintEqualToConstant(53);
  width->setIdentifier("width");
  view->addConstraint(width);
  EXPECT_TRUE(width->isActive());
  EXPECT_EQ(view->constraints().front()->identifier(), "width");
  view->constraints().front()->setConstant(60);
  EXPECT_EQ(width->constant(), 60);
  width->setActive(false);
  EXPECT_TRUE(view->constraints().empty());

  auto other = View::create();
  EXPECT_THROW(view->topAnchor().constraintEqualTo(view->leadingAnchor()), std::invalid_argument);
  EXPECT_THROW(view->topAnchor().constraintEqualToConstant(3), std::invalid_argument);
  // Views in different trees have no common ancestor.
  EXPECT_THROW(view->topAnchor().constraintEqualTo(other->topAnchor())->setActive(true), std::logic_error);
}

}  // namespace
}  // namespace platform
