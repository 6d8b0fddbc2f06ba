#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/Graphics/TextRenderer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

// A shape layer with zero bounds at the origin, so its path is in its superlayer's (or masked layer's) space.
std::shared_ptr<ShapeLayer> shapeOf(const Path& path, const std::optional<Rgba>& fill) {
  auto shape = std::make_shared<ShapeLayer>();
  shape->setPath(path);
  shape->setFillColor(fill);
  return shape;
}

// A horizontal line at y = 5, stroked 2 points wide in blue and not filled.
std::shared_ptr<ShapeLayer> addLine(Layer& parent, double fromX, double toX) {
  BezierPath line;
  line.move({fromX, 5});
  line.line({toX, 5});
  auto shape = shapeOf(line.path(), std::nullopt);
  shape->setStrokeColor(opaqueBlue);
  shape->setLineWidth(2);
  parent.addSublayer(shape);
  return shape;
}

// Which pixel columns of row 5 from the top (the lower half of the line at y = 5) the stroke covers.
void expectInk(const Image& image, std::initializer_list<int> inked, std::initializer_list<int> clear) {
  for (int column : inked) EXPECT_GT(image.pixel(column, 5).alpha, 0.5) << "column " << column;
  for (int column : clear) EXPECT_LE(image.pixel(column, 5).alpha, 0.5) << "column " << column;
}

std::shared_ptr<GradientLayer> addGradient(Layer& parent, const Rect& frame, std::vector<Rgba> colors) {
  auto gradient = std::make_shared<GradientLayer>();
  gradient->setFrame(frame);
  gradient->setColors(std::move(colors));
  parent.addSublayer(gradient);
  return gradient;
}

TEST(RenderShape, FillCoversExactlyThePathAndTheStrokeIsCentredWithCapsByStyle) {
  auto root = canvas(20, 10);
  root->addSublayer(shapeOf(BezierPath::rect(Rect(5, 2, 6, 4)).path(), opaqueRed));
  auto image = Snapshot::image(*root);
  ASSERT_EQ(std::pair(image->pixelWidth(), image->pixelHeight()), std::pair(20, 10));
  expectPixels(*image, {{5, 5, opaqueRed}, {10, 2, opaqueRed}});
  expectPixels(*image, {{5, 6, transparent}, {5, 1, transparent}, {4, 4, transparent}, {11, 4, transparent}});

  root = canvas(20, 10);
  auto line = addLine(*root, 2, 18);
  image = Snapshot::image(*root);
  expectPixels(*image,
               {{10, 5, opaqueBlue}, {10, 4, opaqueBlue}, {10, 6, transparent}, {10, 3, transparent}});
  expectInk(*image, {2, 17}, {1, 18});
  line->setLineCap(LineCap::square);
  expectInk(*Snapshot::image(*root), {1, 18}, {0});
  line->setLineWidth(0);
  EXPECT_TRUE(inkBox(*Snapshot::image(*root), 0).isEmpty());
}

// Stroke ends are drawn in Tavrix's BarsAndGaugesGallery (the quarter ring, the spinner's fifth, the half
// bar, each pixel-checked); the trimming itself is checked by PathTrim here.
TEST(RenderShape, TheDashPatternLeavesGapsAndOneCairoCannotDrawStrokesSolid) {
  auto root = canvas(24, 10);
  auto line = addLine(*root, 0, 24);
  line->setLineDashPattern({4, 2});
  expectInk(*Snapshot::image(*root), {0, 3, 6, 9, 12}, {4, 5, 10, 11, 16});
  line->setLineDashPhase(1);
  expectInk(*Snapshot::image(*root), {2, 5}, {3, 4});
  line->setLineDashPattern({4, -2});
  EXPECT_EQ(inkInRow(*Snapshot::image(*root), 5, 0.5), 24);
}

TEST(RenderShape, SubpathWithANonFiniteCoordinateIsLeftOutAndTheRestDrawn) {
  BezierPath path = BezierPath::rect(Rect(0, 0, 5, 5));
  path.move({10, 0});
  path.line({std::numeric_limits<double>::quiet_NaN(), 5});
  path.line({15, 5});
  path.close();
  path.append(BezierPath::rect(Rect(15, 0, 5, 5)));
  auto root = canvas(20, 5);
  root->addSublayer(shapeOf(path.path(), opaqueRed));
  expectPixels(*Snapshot::image(*root), {{2, 2, opaqueRed}, {12, 2, transparent}, {17, 2, opaqueRed}});
}

// Presentations at a chosen time are checked by BarPlotterGallery.BarsGrowingIn.
TEST(RenderGradient, EndColoursArePaddedBeyondTheEndPoints) {
  auto root = canvas(100, 10);
  auto gradient = addGradient(*root, Rect(0, 0, 100, 10), {opaqueRed, opaqueBlue});
  gradient->setStartPoint({0.25, 0.5});
  gradient->setEndPoint({0.75, 0.5});
  const auto image = Snapshot::image(*root);
  expectPixels(*image,
               {{0.5, 5, opaqueRed}, {24.5, 5, opaqueRed}, {75.5, 5, opaqueBlue}, {99.5, 5, opaqueBlue}}, 0);
  expectRgba(pixelAt(*image, 50, 5), {0.5, 0, 0.5, 1}, 0.02);
}

// A mask's path in the masked layer's own space is checked by Tavrix's BarPlotterGallery.BarsGrowingIn
// (gradient bars, each masked by its bar's path).
TEST(RenderGradient, MaskCutsTheGradientInTheLayersOwnSpaceByItsAlphaOnly) {
  auto root = canvas(20, 20);
  auto gradient = addGradient(*root, Rect(10, 0, 10, 20), {opaqueRed, opaqueRed});
  gradient->setMask(shapeOf(BezierPath::rect(Rect(0, 0, 10, 20)).path(), Rgba{0, 1, 0, 0.5}));
  expectRgba(pixelAt(*Snapshot::image(*root), 15, 5), {0.5, 0, 0, 0.5});
  gradient->setOpacity(0.5);  // Opacity and mask together multiply.
  expectRgba(pixelAt(*Snapshot::image(*root), 15, 5), {0.25, 0, 0, 0.25});
}

// A stroked mask reaches beyond its path: half the line width, a square cap's corner, a miter's point.
TEST(RenderGradient, StrokedMaskShowsItsWholeStroke) {
  auto root = canvas(40, 40);
  auto gradient = addGradient(*root, Rect(0, 0, 40, 40), {opaqueRed, opaqueRed});
  BezierPath corner;
  corner.move({10, 10});
  corner.line({30, 10});
  corner.line({10, 15.13});
  auto mask = shapeOf(corner.path(), std::nullopt);
  mask->setStrokeColor(opaqueBlack);
  mask->setLineWidth(6);
  mask->setLineCap(LineCap::square);
  gradient->setMask(mask);
  // The stroke's outer edge 3 below the line, the cap's corner at (7, 7), and the miter of the 14.4 degree
  // turn (8 line widths long, within the limit of 10) reaching to about (54, 7).
  expectPixels(
      *Snapshot::image(*root),
      {{20, 7.5, opaqueRed}, {7.5, 7.5, opaqueRed}, {36.5, 9.25, opaqueRed}, {20, 4.5, transparent}});
}

// The background and border within rounded bounds, sublayers clipped to them and a layer's own shadow clipped
// by them are checked by Tavrix's SimpleTileViewGallery.SelectedTile and
// ControlsGallery.GradientTileRunsFromBottomLeftToTopRight.
TEST(RenderLayer, TheBorderLiesAboveSublayers) {
  auto root = canvas(20, 20);
  root->setBorderWidth(2);
  root->setBorderColor(opaqueBlue);
  addFilled(*root, Rect(0, 0, 20, 20), opaqueGreen);
  expectPixels(*Snapshot::image(*root),
               {{10, 19, opaqueBlue}, {10, 18, opaqueBlue}, {10, 17, opaqueGreen}, {10, 9, opaqueGreen}});
}

TEST(RenderLayer, OpacityGroupsTheTreeAndSublayersDrawInStableZOrder) {
  auto root = canvas(20, 10);
  auto group = addFilled(*root, Rect(0, 0, 20, 10), transparent);
  group->setOpacity(0.5);
  auto red = addFilled(*group, Rect(0, 0, 12, 10), opaqueRed);
  auto blue = addFilled(*group, Rect(8, 0, 12, 10), opaqueBlue);
  // Where the two overlap, the blue hides the red before the group fades: not 75 % coverage.
  expectPixels(*Snapshot::image(*root), {{10, 5, {0, 0, 0.5, 0.5}}, {2, 5, {0.5, 0, 0, 0.5}}});
  red->setZPosition(1);
  expectRgba(pixelAt(*Snapshot::image(*root), 10, 5), {0.5, 0, 0, 0.5});
  blue->setZPosition(1);  // equal z positions keep the list order
  expectRgba(pixelAt(*Snapshot::image(*root), 10, 5), {0, 0, 0.5, 0.5});
}

// A transform turning a layer about its anchor is checked by the spinner's pictures at 0 and 0.15 s in
// Tavrix's BarsAndGaugesGallery.EveryBarAndGaugeTheSpinnerAtTwoTimesAndTheLineBarPreview.
TEST(RenderLayer, AFlippedLayerPlacesSublayersFromTheTop) {
  auto root = canvas(20, 20);
  addFilled(*root, Rect(0, 0, 20, 5), opaqueRed);
  EXPECT_EQ(inkBox(*Snapshot::image(*root)).top, 15);
  root->setGeometryFlipped(true);
  const InkBox flipped = inkBox(*Snapshot::image(*root));
  EXPECT_EQ(std::pair(flipped.top, flipped.bottom), std::pair(0, 4));
}

TEST(RenderLayer, ShadowFallsByItsOffsetAndBlurs) {
  auto root = canvas(40, 40);
  auto card = addFilled(*root, Rect(10, 10, 20, 20), opaqueRed);
  card->setShadowOpacity(1);
  card->setShadowRadius(0);
  card->setShadowOffset({4, -4});
  // Sharp, four points right and down, under the card.
  expectPixels(*Snapshot::image(*root), {{32, 8, opaqueBlack}, {35, 8, transparent}, {20, 20, opaqueRed}});

  card->setShadowRadius(4);
  auto image = Snapshot::image(*root);
  const double nearEdge = pixelAt(*image, 34.5, 20).alpha;
  const double farther = pixelAt(*image, 37.5, 20).alpha;
  EXPECT_GT(nearEdge, farther);
  EXPECT_GT(farther, 0);
  EXPECT_LT(nearEdge, 1);

  card->setShadowPath(BezierPath::rect(Rect(0, 0, 5, 5)).path());
  card->setShadowRadius(0);
  expectPixels(*Snapshot::image(*root), {{16, 8, opaqueBlack}, {32, 8, transparent}});
}

TEST(RenderLayer, ColorAtReadsModelValuesAsPremultipliedComponents) {
  MediaClock::set(0);
  auto root = canvas(10, 10);
  auto left = addFilled(*root, Rect(0, 0, 5, 10), opaqueRed);
  addFilled(*root, Rect(5, 0, 5, 10), {1, 1, 1, 0.5});
  expectRgba(Snapshot::colorAt(*root, {2, 2}), opaqueRed);
  expectRgba(Snapshot::colorAt(*root, {7, 2}), {0.5, 0.5, 0.5, 0.5});
  expectRgba(Snapshot::colorAt(*root, {12, 2}), transparent);

  BasicAnimation recolour;
  recolour.keyPath = "backgroundColor";
  recolour.toValue = opaqueBlue;
  recolour.fillMode = FillMode::forwards;
  recolour.removedOnCompletion = false;
  left->addAnimation(recolour, "recolour");
  expectRgba(Snapshot::colorAt(*root, {2, 2}), opaqueRed);
  expectRgba(pixelAt(*Snapshot::image(*root), 2, 2), opaqueBlue);
}

TextAttributes attributesOf(double size) {
  return {Font::systemFont(size), opaqueBlack, TextAlignment::natural};
}

std::shared_ptr<TextLayer> addText(Layer& parent, const Rect& frame, std::string text, double size) {
  auto layer = std::make_shared<TextLayer>();
  layer->setFrame(frame);
  layer->setString(std::move(text));
  layer->setFontSize(size);
  layer->setForegroundColor(opaqueBlack);
  parent.addSublayer(layer);
  return layer;
}

TEST(TextMeasurer, LinesAreTheLineHeightHighAndWidthsScaleWithoutHinting) {
  const TextAttributes attributes = attributesOf(12);
  const Size word = TextMeasurer::size("word", attributes);
  const double line = word.height;
  EXPECT_GT(line, 12);  // a line is the size plus the font's ascender and descender room
  EXPECT_NEAR(TextMeasurer::size("wordword", attributes).width, 2 * word.width, 0.01);
  EXPECT_NEAR(TextMeasurer::size("word", attributesOf(24)).width, 2 * word.width, 0.05);
  EXPECT_EQ(TextMeasurer::size("word", TextAttributes{}), word);
  EXPECT_EQ(TextMeasurer::size("", attributes), (Size{0, 0}));
  // Words wrap at a bounding width; an unbounded width keeps one line.
  const Size wrapped = TextMeasurer::boundingSize("word word word", attributes, {word.width * 1.5, 1});
  EXPECT_NEAR(wrapped.height, 3 * line, 0.01);
  EXPECT_NEAR(wrapped.width, word.width, 0.01);
  EXPECT_NEAR(TextMeasurer::boundingSize("word word word", attributes, {-1, -1}).height, line, 0.01);
}

// The first line at the top of the bounds is checked by Tavrix's VerticallyAlignedTextLayer test.
TEST(RenderText, InkIsClippedToTheBoundsAndOnlyLinesThatFitAreDrawn) {
  auto root = canvas(100, 60);
  // Text too large for the bounds is clipped to them: the frame covers columns 10...89 and rows 10...49
  // from the top.
  addText(*root, Rect(10, 10, 80, 40), "Wide text that overflows", 60);
  InkBox ink = inkBox(*Snapshot::image(*root), 0);
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 10);
  EXPECT_EQ(std::pair(ink.right, ink.bottom), std::pair(89, 49));

  // Drawn in a rectangle, only the lines that fit are kept: three words wrap into three lines in a box one
  // and a half lines high at the top of the image.
  const double line = TextMeasurer::size("A", attributesOf(10)).height;
  auto image = Image::create({60, 60});
  TextRenderer::draw(ImageFocus(*image).context(), "Alpha Bravo Delta", attributesOf(10),
                     Rect(0, 60 - 1.5 * line, 40, 1.5 * line));
  ink = inkBox(*image);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_LE(ink.top, 3);
  EXPECT_LE(ink.bottom, static_cast<int>(line) + 1);
}

TEST(RenderText, TextIsUprightInYUpAndFlippedTrees) {
  auto root = canvas(40, 40);
  addText(*root, Rect(0, 0, 40, 40), "T", 30);
  for (const bool flipped : {false, true}) {
    root->setGeometryFlipped(flipped);
    const auto image = Snapshot::image(*root);
    const InkBox box = inkBox(*image);
    // Rows count from the top: a T's bar is more than twice as wide as its stem.
    EXPECT_GT(inkInRow(*image, box.top + 1), 2 * inkInRow(*image, box.bottom - 1)) << "flipped " << flipped;
    EXPECT_LE(box.top, 8) << "flipped " << flipped;
  }
}

}  // namespace
}  // namespace platform::test
