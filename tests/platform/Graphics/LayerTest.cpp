#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <stdexcept>
#include <utility>
#include <vector>

#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

using LayerList = Layer::LayerList;

std::shared_ptr<Layer> layerAt(Point position, Size size) {
  auto layer = std::make_shared<Layer>();
  layer->setBounds(Rect({0, 0}, size));
  layer->setPosition(position);
  return layer;
}

TEST(LayerGeometry, FramePlacesTheAnchorPointAtThePosition) {
  const auto layer = layerAt({200, 100}, {100, 50});
  EXPECT_EQ(layer->frame(), Rect(150, 75, 100, 50));
  // Changing the anchor moves the frame, never the position.
  for (const auto& [anchor, frame] : {std::pair{Point{0, 0}, Rect(200, 100, 100, 50)},
                                      {Point{1, 1}, Rect(100, 50, 100, 50)},
                                      {Point{0.25, 1}, Rect(175, 50, 100, 50)}}) {
    layer->setAnchorPoint(anchor);
    EXPECT_EQ(layer->frame(), frame);
    EXPECT_EQ(layer->position(), (Point{200, 100}));
  }
  // A bounds origin shifts the content, not the frame.
  layer->setAnchorPoint({0.5, 0.5});
  layer->setBounds(Rect(10, 10, 100, 50));
  EXPECT_EQ(layer->frame(), Rect(150, 75, 100, 50));
  EXPECT_EQ(layer->transformToSuperlayer().apply(Point{10, 10}), (Point{150, 75}));
  EXPECT_EQ(layer->transformToSuperlayer().apply(Point{0, 0}), (Point{140, 65}));
}

TEST(LayerGeometry, SettingTheFrameSetsPositionByTheAnchor) {
  const auto layer = std::make_shared<Layer>();
  layer->setFrame(Rect(10, 20, 30, 40));
  EXPECT_EQ(layer->position(), (Point{25, 40}));
  EXPECT_EQ(layer->bounds(), Rect(0, 0, 30, 40));
  layer->setAnchorPoint({0, 0});
  layer->setFrame(Rect(10, 20, 30, 40));
  EXPECT_EQ(layer->position(), (Point{10, 20}));
  layer->setAnchorPoint({1, 0.5});
  layer->setBounds(Rect(5, 5, 1, 1));
  layer->setFrame(Rect(40, 60, -30, -40));  // standardised to (10, 20, 30, 40)
  EXPECT_EQ(layer->position(), (Point{40, 40}));
  EXPECT_EQ(layer->bounds(), Rect(5, 5, 30, 40));  // the bounds origin stays
  EXPECT_EQ(layer->frame(), Rect(10, 20, 30, 40));
}

TEST(LayerGeometry, TransformTurnsScalesAndShiftsAboutTheAnchor) {
  const auto layer = layerAt({200, 100}, {100, 50});
  layer->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
  // A quarter turn about the centre stands the 100 x 50 frame on its end around the same centre.
  expectRectNear(layer->frame(), Rect(175, 50, 50, 100));
  // About the bottom-left corner it swings to the left of the position.
  layer->setAnchorPoint({0, 0});
  expectRectNear(layer->frame(), Rect(150, 100, 50, 100));
  layer->setAnchorPoint({0.5, 0.5});
  layer->setTransform(AffineTransform::scale(2, 2));
  EXPECT_EQ(layer->frame(), Rect(100, 50, 200, 100));
  layer->setTransform(AffineTransform::translation(-6, 0));
  EXPECT_EQ(layer->frame(), Rect(144, 75, 100, 50));
  EXPECT_EQ(layer->position(), (Point{200, 100}));
}

TEST(LayerTree, AddingMovesALayerFromItsOldParentOrWithinItsOwn) {
  const auto first = std::make_shared<Layer>();
  const auto second = std::make_shared<Layer>();
  const auto child = std::make_shared<ShapeLayer>();
  EXPECT_FALSE(first->sublayers().has_value());  // absent until the first add
  first->addSublayer(child);
  second->addSublayer(child);
  EXPECT_EQ(first->sublayers(), LayerList{});
  EXPECT_EQ(*second->sublayers(), LayerList{child});
  EXPECT_EQ(child->superlayer(), second);
  child->removeFromSuperlayer();
  EXPECT_EQ(second->sublayers(), LayerList{});
  EXPECT_EQ(child->superlayer(), nullptr);

  const auto parent = std::make_shared<Layer>();
  const auto a = std::make_shared<Layer>(), b = std::make_shared<Layer>(), c = std::make_shared<Layer>();
  for (const auto& layer : {a, b, c, a}) parent->addSublayer(layer);
  EXPECT_EQ(*parent->sublayers(), (LayerList{b, c, a}));
  // Passing an entry of the parent's own list, which the move shifts, still moves that layer.
  parent->addSublayer(parent->sublayers()->front());
  EXPECT_EQ(*parent->sublayers(), (LayerList{c, a, b}));
}

TEST(LayerTree, SettingOrRemovingSublayersDetachesThemSafely) {
  const auto parent = std::make_shared<Layer>();
  const auto elsewhere = std::make_shared<Layer>();
  const auto old = std::make_shared<Layer>();
  const auto moved = std::make_shared<Layer>();
  parent->addSublayer(old);
  elsewhere->addSublayer(moved);
  parent->setSublayers(LayerList{moved, moved});
  EXPECT_EQ(*parent->sublayers(), LayerList{moved});
  EXPECT_EQ(old->superlayer(), nullptr);
  EXPECT_TRUE(elsewhere->sublayers()->empty());
  parent->setSublayers(std::nullopt);
  EXPECT_FALSE(parent->sublayers().has_value());
  EXPECT_EQ(moved->superlayer(), nullptr);

  // The parent may hold the last reference while the layer removes itself.
  std::weak_ptr<Layer> watched;
  {
    const auto child = std::make_shared<Layer>();
    parent->addSublayer(child);
    watched = child;
  }
  parent->sublayers()->front()->removeFromSuperlayer();
  EXPECT_TRUE(watched.expired());
  EXPECT_TRUE(parent->sublayers()->empty());
}

TEST(LayerTree, CyclesAndNullLayersAreRefused) {
  const auto root = std::make_shared<Layer>();
  const auto child = std::make_shared<Layer>();
  const auto maskHolder = std::make_shared<Layer>();
  root->addSublayer(child);
  EXPECT_THROW(root->addSublayer(root), std::invalid_argument);
  EXPECT_THROW(child->addSublayer(root), std::invalid_argument);
  EXPECT_THROW(child->setSublayers(LayerList{root}), std::invalid_argument);
  EXPECT_THROW(child->setMask(root), std::invalid_argument);
  maskHolder->setMask(root);
  EXPECT_THROW(child->addSublayer(maskHolder), std::invalid_argument);
  EXPECT_THROW(root->addSublayer(nullptr), std::invalid_argument);
  EXPECT_EQ(child->superlayer(), root);
  EXPECT_FALSE(child->sublayers().has_value());
  Layer unowned;
  EXPECT_THROW(unowned.addSublayer(std::make_shared<Layer>()), std::logic_error);
}

TEST(LayerTree, RemoveAllFromSuperlayerWorksOnAnyLayerKind) {
  const auto parent = std::make_shared<Layer>();
  const auto keep = std::make_shared<Layer>();
  std::vector<std::shared_ptr<TextLayer>> labels{std::make_shared<TextLayer>(), nullptr,
                                                 std::make_shared<TextLayer>()};
  std::vector<std::shared_ptr<ShapeLayer>> shapes{std::make_shared<ShapeLayer>()};
  for (const auto& layer : LayerList{labels[0], keep, labels[2], shapes[0]}) parent->addSublayer(layer);
  removeAllFromSuperlayer(labels);
  EXPECT_TRUE(labels.empty());
  EXPECT_EQ(labels.capacity(), 0u);
  EXPECT_EQ(*parent->sublayers(), (LayerList{keep, shapes[0]}));
  removeAllFromSuperlayer(shapes);
  EXPECT_EQ(*parent->sublayers(), LayerList{keep});
}

}  // namespace
}  // namespace platform::test
