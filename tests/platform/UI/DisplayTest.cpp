#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/UI/CollectionView.hpp"
#include "Platform/UI/ScrollView.hpp"
#include "Platform/UI/SearchFieldCell.hpp"
#include "Platform/UI/TableView.hpp"
#include "Platform/UI/TextField.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewContents.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

// Fills its area (its bounds unless told) in its colour (red unless told), and notes every rectangle it is
// asked to draw.
class PaintingView : public View {
 public:
  explicit PaintingView(const Rect& frame, std::optional<Rect> filled = {}, std::optional<Rgba> tint = {})
      : View(frame), area(filled), color(tint) {}
  std::vector<Rect> drawn;
  std::optional<Rect> area;
  std::optional<Rgba> color;
  bool flipped = false;

  bool isFlipped() const override { return flipped; }
  void draw(const Rect& dirtyRect) override {
    drawn.push_back(dirtyRect);
    GraphicsContext& context = *GraphicsContext::current();
    context.setFillColor(color.value_or(opaqueRed));
    context.fillRect(area.value_or(bounds()));
  }
};

TEST(DisplayPass, DrawsTheUnionOfTheMarkedRectanglesOnce) {
  auto view = View::create<PaintingView>(Rect(0, 0, 40, 30));
  EXPECT_TRUE(view->needsDisplay());
  view->displayIfNeeded();
  view->displayIfNeeded();
  EXPECT_EQ(std::pair(view->drawn, view->needsDisplay()), std::pair(std::vector{Rect(0, 0, 40, 30)}, false));

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
  EXPECT_EQ(std::tuple(view->drawn.back(), view->drawn.size()), std::tuple(Rect(0, 0, 20, 10), 4u));
  view->setHidden(true);  // Hidden views are not drawn and keep their marks.
  view->setNeedsDisplay(true);
  view->displayIfNeeded();
  EXPECT_EQ(std::tuple(view->drawn.size(), view->needsDisplay()), std::tuple(4u, true));
}

// A partial redraw over the recorded drawing is checked by ViewContentsTest below; drawing under the view's
// appearance and redrawing when the view asks by Tavrix's ControlsGallery.EveryControlLightAndDark and
// WindowContentView.IsWhiteThenClearOnceTheAppearanceTurnsDark.

TEST(ViewRendering, SubviewsDrawAboveTheLayersSublayersAndInsideItsClip) {
  auto root = View::create(Rect(0, 0, 40, 40));
  root->setWantsLayer(true);
  root->layer()->setBackgroundColor(opaqueBlack);
  auto tile = View::create<PaintingView>(Rect(10, 10, 20, 20), Rect(0, 0, 20, 5));
  tile->setWantsLayer(true);
  tile->layer()->setMasksToBounds(true);
  tile->layer()->setCornerRadius(6);
  addFilled(*tile->layer(), Rect(0, 0, 20, 10), opaqueGreen);
  auto overhanging = View::create<PaintingView>(Rect(-10, 12, 40, 12), std::nullopt, opaqueBlue);
  tile->addSubview(overhanging);
  root->addSubview(tile);

  // The tile's own drawing lies under its sublayer, which lies under its subview; the subview is clipped
  // to the tile's rounded bounds.
  const auto image = ViewRenderer::image(*root);
  expectPixels(*image,
               {{5, 5, opaqueBlack}, {20, 12, opaqueGreen}, {20, 17, opaqueGreen}, {20, 25, opaqueBlue}});
  expectPixels(*image, {{5, 25, opaqueBlack}, {10.5, 23, opaqueBlue}, {20, 29.5, opaqueBlue}});
  expectPixels(*image, {{10.5, 29.5, opaqueBlack}, {20, 31, opaqueBlack}});
  // Hidden subviews leave nothing behind; the drawing of a view without a layer shows all the same.
  overhanging->setHidden(true);
  expectRgba(pixelAt(*ViewRenderer::image(*root), 20, 25), opaqueBlack);
  tile->setWantsLayer(false);
  expectRgba(pixelAt(*ViewRenderer::image(*root), 20, 12), opaqueRed);
}

TEST(ViewRendering, FlippedViewsDrawFromTheirTopEdge) {
  auto root = View::create(Rect(0, 0, 30, 30));
  auto flipped = View::create<PaintingView>(Rect(0, 0, 30, 30), Rect(0, 0, 10, 5));
  flipped->flipped = true;
  flipped->addSubview(View::create<PaintingView>(Rect(20, 0, 10, 10), Rect(0, 0, 10, 2), opaqueGreen));
  root->addSubview(flipped);
  // The inner view sits at the top of the flipped view and draws at its own bottom edge, 8 below its top.
  expectPixels(*ViewRenderer::image(*root),
               {{5, 27, opaqueRed}, {5, 2, transparent}, {25, 21, opaqueGreen}, {25, 29, transparent}});
}

const Appearance dark(std::string(Appearance::darkAqua));

TEST(TextField, ShowsItsDefaultTextLightOnADarkAppearanceTheSearchBezelDarkAndCentresSearchText) {
  auto field = View::create<TextField>(Rect(0, 0, 80, 20));
  field->setStringValue("WWW");
  field->setAppearance(dark);
  const auto light = [](const Rgba& pixel) { return pixel.red > 0.6; };
  EXPECT_FALSE(inkBox(*ViewRenderer::image(*field), light).isEmpty());

  field->setCell(std::make_shared<SearchFieldCell>());
  field->setStringValue("");
  EXPECT_LT(test::pixelAt(*ViewRenderer::image(*field), 40, 10).red, 0.5);

  // A search field centres its text in the bezel (red text, told apart from the white and grey bezel).
  auto search = View::create<TextField>(Rect(0, 0, 140, 40));
  search->setCell(std::make_shared<SearchFieldCell>());
  search->setTextColor(Color::rgb(1, 0, 0));
  search->setStringValue("Hg");
  const auto image = ViewRenderer::image(*search);
  const auto red = [](const Rgba& pixel) { return pixel.red > 0.6 && pixel.green < 0.3; };
  const InkBox ink = inkBox(*image, red);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.top, image->pixelHeight() - 1 - ink.bottom, 4);
}

TEST(ListViews, FillTheirBackgroundsDarkInADarkAppearance) {
  for (const std::shared_ptr<View>& view : std::vector<std::shared_ptr<View>>{
           View::create<ScrollView>(Rect(0, 0, 20, 20)), View::create<TableView>(Rect(0, 0, 20, 20)),
           View::create<CollectionView>(Rect(0, 0, 20, 20))}) {
    view->setAppearance(dark);
    EXPECT_LT(test::pixelAt(*ViewRenderer::image(*view), 10, 10).red, 0.2);
  }
}

constexpr Rect contentsBounds(0, 0, 20, 10);

ViewContents::Drawing filling(const Rgba& color) {
  return [color](const Rect&) {
    GraphicsContext::current()->setFillColor(color);
    GraphicsContext::current()->fillRect(contentsBounds, CompositingOperation::sourceOver);
  };
}

// The colour at (x, 5) of the contents painted into an image of the bounds.
Rgba paintedAt(const ViewContents& contents, double x, const Rect& paintBounds = contentsBounds) {
  auto image = Image::create(contentsBounds.size);
  contents.paint(ImageFocus(*image).context(), paintBounds, false);
  return pixelAt(*image, x, 5);
}

TEST(ViewContentsTest, APartialRedrawClearsItsRectangleBeforeDrawing) {
  ViewContents contents;
  contents.redraw(contentsBounds, false, contentsBounds, filling(opaqueRed));
  // Half-transparent green over red left in place would read (0.5, 0.5, 0, 1).
  contents.redraw(contentsBounds, false, Rect(0, 0, 5, 10), filling({0, 1, 0, 0.5}));
  expectRgba(paintedAt(contents, 2), {0, 0.5, 0, 0.5});
  expectRgba(paintedAt(contents, 12), opaqueRed);
}

TEST(ViewContentsTest, BoundsThatAreNotFiniteRecordAndPaintNothing) {
  ViewContents contents;
  contents.redraw(contentsBounds, false, contentsBounds, filling(opaqueRed));
  expectRgba(paintedAt(contents, 2, Rect(0, 0, INFINITY, 10)), transparent);
  for (const Rect& odd : {Rect(0, 0, INFINITY, 10), Rect(0, 0, 20, NAN), Rect(-INFINITY, 0, 20, 10)}) {
    contents.redraw(odd, false, contentsBounds, [](const Rect&) { ADD_FAILURE() << "drew with odd bounds"; });
  }
  expectRgba(paintedAt(contents, 2), transparent);
}

}  // namespace
}  // namespace platform::test
