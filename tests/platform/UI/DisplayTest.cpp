#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

// Fills a rectangle (its bounds unless told) in red under a light appearance and blue under a dark one,
// and notes every rectangle it is asked to draw.
class PaintingView : public View {
 public:
  using View::View;
  std::vector<Rect> drawn;
  std::optional<Rect> area;
  std::optional<Rgba> color;

  void draw(const Rect& dirtyRect) override {
    drawn.push_back(dirtyRect);
    GraphicsContext& context = *GraphicsContext::current();
    context.setFillColor(color.value_or(Appearance::current().isDark() ? opaqueBlue : opaqueRed));
    context.fillRect(area.value_or(bounds()));
  }
};

// Redraws in full whenever its appearance changes.
class FollowingView : public PaintingView {
 public:
  using PaintingView::PaintingView;
  void viewDidChangeEffectiveAppearance() override { setNeedsDisplay(true); }
};

class FlippedPaintingView : public PaintingView {
 public:
  using PaintingView::PaintingView;
  bool isFlipped() const override { return true; }
};

TEST(DisplayPass, DrawsTheUnionOfTheMarkedRectanglesOnce) {
  auto view = View::create<PaintingView>(Rect(0, 0, 40, 30));
  EXPECT_TRUE(view->needsDisplay());
  view->displayIfNeeded();
  view->displayIfNeeded();
  EXPECT_EQ(view->drawn, std::vector<Rect>{Rect(0, 0, 40, 30)});
  EXPECT_FALSE(view->needsDisplay());

  view->setNeedsDisplayInRect(Rect(2, 2, 4, 4));
  view->setNeedsDisplayInRect(Rect(10, 5, 6, 2));
  EXPECT_EQ(view->rectsNeedingDisplay(), (std::vector<Rect>{Rect(2, 2, 4, 4), Rect(10, 5, 6, 2)}));
  view->displayIfNeeded();
  EXPECT_EQ(view->drawn.back(), Rect(2, 2, 14, 5));

  // Marks outside the bounds are cut to them; a resize marks the whole view.
  view->setNeedsDisplayInRect(Rect(35, 25, 20, 20));
  view->displayIfNeeded();
  EXPECT_EQ(view->drawn.back(), Rect(35, 25, 5, 5));
  view->setFrameSize({20, 10});
  view->displayIfNeeded();
  EXPECT_EQ(view->drawn.back(), Rect(0, 0, 20, 10));
  EXPECT_EQ(view->drawn.size(), 4u);

  // Hidden views are not drawn and keep their marks.
  view->setHidden(true);
  view->setNeedsDisplay(true);
  view->displayIfNeeded();
  EXPECT_EQ(view->drawn.size(), 4u);
  EXPECT_TRUE(view->needsDisplay());
}

TEST(DisplayPass, APartialRedrawKeepsTheDrawingOutsideTheDirtyRectangle) {
  auto view = View::create<PaintingView>(Rect(0, 0, 20, 10));
  view->displayIfNeeded();
  view->color = opaqueGreen;
  view->setNeedsDisplayInRect(Rect(0, 0, 5, 10));
  const auto image = ViewRenderer::image(*view);
  expectRgba(pixelAt(*image, 2, 5), opaqueGreen);
  expectRgba(pixelAt(*image, 12, 5), opaqueRed);

  // Drawing that is not redisplayed stays as it was recorded.
  view->color = opaqueBlue;
  expectRgba(pixelAt(*ViewRenderer::image(*view), 12, 5), opaqueRed);
}

TEST(DisplayPass, DrawsUnderTheViewsAppearanceAndRedrawsWhenTheViewAsks) {
  auto root = View::create(Rect(0, 0, 20, 10));
  auto plain = View::create<PaintingView>(Rect(0, 0, 10, 10));
  auto following = View::create<FollowingView>(Rect(10, 0, 10, 10));
  root->addSubview(plain);
  root->addSubview(following);
  root->setAppearance(Appearance(std::string(Appearance::darkAqua)));
  auto image = ViewRenderer::image(*root);
  expectRgba(pixelAt(*image, 5, 5), opaqueBlue);
  expectRgba(pixelAt(*image, 15, 5), opaqueBlue);

  root->setAppearance(Appearance(std::string(Appearance::aqua)));
  image = ViewRenderer::image(*root);
  expectRgba(pixelAt(*image, 5, 5), opaqueBlue);
  expectRgba(pixelAt(*image, 15, 5), opaqueRed);
}

TEST(ViewRendering, SubviewsDrawAboveTheLayersSublayersAndInsideItsClip) {
  auto root = View::create(Rect(0, 0, 40, 40));
  root->setWantsLayer(true);
  root->layer()->setBackgroundColor(opaqueBlack);
  auto tile = View::create<PaintingView>(Rect(10, 10, 20, 20));
  tile->area = Rect(0, 0, 20, 5);
  tile->setWantsLayer(true);
  tile->layer()->setMasksToBounds(true);
  tile->layer()->setCornerRadius(6);
  auto band = std::make_shared<Layer>();
  band->setFrame(Rect(0, 0, 20, 10));
  band->setBackgroundColor(opaqueGreen);
  tile->layer()->addSublayer(band);
  auto overhanging = View::create<PaintingView>(Rect(-10, 12, 40, 12));
  overhanging->color = opaqueBlue;
  tile->addSubview(overhanging);
  root->addSubview(tile);

  const auto image = ViewRenderer::image(*root);
  expectRgba(pixelAt(*image, 5, 5), opaqueBlack);
  // The tile's own drawing lies under its sublayer, which lies under its subview.
  expectRgba(pixelAt(*image, 20, 12), opaqueGreen);
  expectRgba(pixelAt(*image, 20, 17), opaqueGreen);
  expectRgba(pixelAt(*image, 20, 25), opaqueBlue);
  // The subview is clipped to the tile's rounded bounds.
  expectRgba(pixelAt(*image, 5, 25), opaqueBlack);
  expectRgba(pixelAt(*image, 10.5, 23), opaqueBlue);
  expectRgba(pixelAt(*image, 20, 29.5), opaqueBlue);
  expectRgba(pixelAt(*image, 10.5, 29.5), opaqueBlack);
  expectRgba(pixelAt(*image, 20, 31), opaqueBlack);

  // Hidden subviews leave nothing behind; the drawing of a view without a layer shows all the same.
  overhanging->setHidden(true);
  expectRgba(pixelAt(*ViewRenderer::image(*root), 20, 25), opaqueBlack);
  tile->setWantsLayer(false);
  expectRgba(pixelAt(*ViewRenderer::image(*root), 20, 12), opaqueRed);
}

TEST(ViewRendering, FlippedViewsDrawFromTheirTopEdge) {
  auto root = View::create(Rect(0, 0, 30, 30));
  auto flipped = View::create<FlippedPaintingView>(Rect(0, 0, 30, 30));
  flipped->area = Rect(0, 0, 10, 5);
  auto inner = View::create<PaintingView>(Rect(20, 0, 10, 10));
  inner->area = Rect(0, 0, 10, 2);
  inner->color = opaqueGreen;
  flipped->addSubview(inner);
  root->addSubview(flipped);
  const auto image = ViewRenderer::image(*root);
  expectRgba(pixelAt(*image, 5, 27), opaqueRed);
  expectRgba(pixelAt(*image, 5, 2), transparent);
  // inner sits at the top of the flipped view and draws at its own bottom edge, 8 below its top.
  expectRgba(pixelAt(*image, 25, 21), opaqueGreen);
  expectRgba(pixelAt(*image, 25, 29), transparent);
}

TEST(ViewRendering, LayersShowTheirAnimationsAtTheChosenTimeAndThePngHoldsTheImage) {
  MediaClock::set(0);
  auto root = View::create<PaintingView>(Rect(0, 0, 20, 20));
  root->setWantsLayer(true);
  auto dot = std::make_shared<Layer>();
  dot->setFrame(Rect(0, 0, 4, 4));
  dot->setBackgroundColor(opaqueGreen);
  root->layer()->addSublayer(dot);
  BasicAnimation slide;
  slide.keyPath = "position";
  slide.toValue = Point{18, 2};
  slide.duration = 1;
  slide.fillMode = FillMode::forwards;
  slide.removedOnCompletion = false;
  dot->addAnimation(slide, "slide");

  expectRgba(pixelAt(*ViewRenderer::image(*root, 1, RenderTime::at(0)), 2, 2), opaqueGreen);
  const auto settled = ViewRenderer::image(*root, 2);
  expectRgba(pixelAt(*settled, 2, 2), opaqueRed);
  expectRgba(pixelAt(*settled, 18, 2), opaqueGreen);

  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("view-tree-" + std::to_string(::getpid()) + ".png");
  ViewRenderer::writePng(*root, file, 2);
  const auto read = Image::readPng(file, 2);
  std::filesystem::remove(file);
  EXPECT_EQ(read->pixelWidth(), 40);
  expectRgba(pixelAt(*read, 18, 2), opaqueGreen);
}

}  // namespace
}  // namespace platform::test
