#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Platform/UI/Event.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/TrackingArea.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/Window.hpp"

namespace platform {
namespace {

// Notes "<name> <event> x,y" for every event it gets, the location in its own coordinates, in a shared log.
class LoggingView : public View {
 public:
  LoggingView(const Rect& frame, std::string name, std::vector<std::string>* log)
      : View(frame), name_(std::move(name)), log_(log) {}

  void mouseDown(const Event& event) override { note("down", event); }
  void mouseUp(const Event& event) override { note("up", event); }
  void mouseDragged(const Event& event) override { note("dragged", event); }
  void mouseMoved(const Event& event) override { note("moved", event); }
  void mouseEntered(const Event& event) override { note("entered", event); }
  void mouseExited(const Event& event) override { note("exited", event); }

  void track(std::uint64_t options) {
    addTrackingArea(TrackingArea::create(bounds(), options, shared_from_this()));
  }

 private:
  void note(const std::string& what, const Event& event) {
    const Point local = convertFromWindow(event.locationInWindow);
    log_->push_back(name_ + " " + what + " " + std::to_string(static_cast<int>(local.x)) + "," +
                    std::to_string(static_cast<int>(local.y)));
  }

  std::string name_;
  std::vector<std::string>* log_;
};

using Log = std::vector<std::string>;
constexpr auto enteredAndExitedAlways = TrackingArea::mouseEnteredAndExited | TrackingArea::activeAlways;

TEST(EventHarness, DeliversEnteredAndExitedToTrackingAreaOwners) {
  Log log;
  auto root = View::create<LoggingView>(Rect(0, 0, 100, 100), "root", &log);
  auto tile = View::create<LoggingView>(Rect(10, 10, 20, 20), "tile", &log);
  auto other = View::create<LoggingView>(Rect(50, 10, 20, 20), "other", &log);
  root->addSubview(tile);
  root->addSubview(other);
  tile->track(enteredAndExitedAlways);
  other->track(enteredAndExitedAlways | TrackingArea::mouseMoved);

  EventHarness harness(root);
  harness.moveMouse({5, 5});
  harness.moveMouse({15, 15});
  harness.moveMouse({16, 15});
  harness.moveMouse({55, 12});  // Straight from one area into the other: the exit comes first.
  harness.moveMouse({56, 12});
  harness.leaveWindow();
  EXPECT_EQ(log, (Log{"tile entered 5,5", "tile exited 45,2", "other entered 5,2", "other moved 5,2",
                      "other moved 6,2", "other exited 6,2"}));

  // The owner is held weakly: an area whose owner is gone reports nothing.
  log.clear();
  root->addTrackingArea(TrackingArea::create(Rect(0, 0, 100, 100), enteredAndExitedAlways, View::create()));
  harness.moveMouse({1, 1});
  EXPECT_TRUE(log.empty());
}

TEST(EventHarness, KeyWindowVisibleRectAndAssumeInsideOptions) {
  Log log;
  auto window = Window::create(Rect(0, 0, 100, 100), Window::titled);
  auto content = window->contentView();
  auto keyed = View::create<LoggingView>(Rect(0, 0, 50, 50), "keyed", &log);
  auto clipped = View::create<LoggingView>(Rect(80, 80, 40, 40), "clipped", &log);
  content->addSubview(keyed);
  content->addSubview(clipped);
  keyed->track(TrackingArea::mouseEnteredAndExited | TrackingArea::activeInKeyWindow);
  clipped->track(enteredAndExitedAlways | TrackingArea::inVisibleRect | TrackingArea::assumeInside);

  EventHarness harness(window);
  harness.moveMouse({10, 10});
  // assumeInside: the first check finds the pointer outside and reports an exit.
  EXPECT_EQ(log, (Log{"clipped exited -70,-70"}));
  window->makeKeyWindow();
  harness.moveMouse({11, 10});
  // The visible part of clipped ends at the content view's edge, 20 points in.
  harness.moveMouse({90, 90});
  harness.moveMouse({99, 99});
  harness.moveMouse({110, 110});  // Inside the area's own rectangle but outside the visible part.
  EXPECT_EQ(log, (Log{"clipped exited -70,-70", "keyed entered 11,10", "keyed exited 90,90",
                      "clipped entered 10,10", "clipped exited 30,30"}));
  window->resignKeyWindow();
}

// Clicks through a view that is never hit, and the wheel, are checked by Tavrix's InertViews and ScrollViews
// tests through the same harness.
TEST(EventHarness, DragsGoToThePressedViewAndUnhandledEventsClimbTheResponderChain) {
  Log log;
  auto root = View::create<LoggingView>(Rect(0, 0, 100, 100), "root", &log);
  auto plain = View::create(Rect(0, 0, 50, 50));
  auto other = View::create<LoggingView>(Rect(50, 0, 50, 50), "other", &log);
  root->addSubview(plain);
  root->addSubview(other);
  other->track(enteredAndExitedAlways);

  EventHarness harness(root);
  harness.mouseDown({10, 10});
  // Without enabledDuringMouseDrag the drag into other reports no entry; the release outside other does
  // not either, and the next move reports nothing new because other's state was never changed.
  harness.moveMouse({60, 10});
  harness.mouseUp({60, 10});
  // plain passes everything on to its superview.
  EXPECT_EQ(log, (Log{"root down 10,10", "root dragged 60,10", "root up 60,10"}));
  harness.moveMouse({61, 10});
  EXPECT_EQ(log.back(), "other entered 11,10");
  EXPECT_EQ(root->hitTest({100, 10}), nullptr);  // the far edge is outside
}

}  // namespace
}  // namespace platform
