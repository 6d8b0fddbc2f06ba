#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/TextLayer.hpp"

namespace platform::test {
namespace {

using LayerList = Layer::LayerList;

TEST(LayerTree, SublayersAreAbsentUntilTheFirstAdd) {
  const auto parent = std::make_shared<Layer>();
  EXPECT_FALSE(parent->sublayers().has_value());
  const auto child = std::make_shared<Layer>();
  parent->addSublayer(child);
  child->removeFromSuperlayer();
  ASSERT_TRUE(parent->sublayers().has_value());
  EXPECT_TRUE(parent->sublayers()->empty());
  EXPECT_EQ(child->superlayer(), nullptr);
}

TEST(LayerTree, AddingMovesALayerFromItsOldParent) {
  const auto first = std::make_shared<Layer>();
  const auto second = std::make_shared<Layer>();
  const auto child = std::make_shared<ShapeLayer>();
  first->addSublayer(child);
  second->addSublayer(child);
  EXPECT_TRUE(first->sublayers()->empty());
  EXPECT_EQ(*second->sublayers(), LayerList{child});
  EXPECT_EQ(child->superlayer(), second);
}

TEST(LayerTree, AddingAnExistingSublayerAgainMovesItToTheTop) {
  const auto parent = std::make_shared<Layer>();
  const auto a = std::make_shared<Layer>();
  const auto b = std::make_shared<Layer>();
  const auto c = std::make_shared<Layer>();
  for (const auto& layer : {a, b, c}) {
    parent->addSublayer(layer);
  }
  parent->addSublayer(a);
  EXPECT_EQ(*parent->sublayers(), (LayerList{b, c, a}));
  parent->insertSublayer(a, 0);
  EXPECT_EQ(*parent->sublayers(), (LayerList{a, b, c}));
  parent->insertSublayer(c, 1);
  EXPECT_EQ(*parent->sublayers(), (LayerList{a, c, b}));
  // Passing an entry of the parent's own list, which the move shifts, still moves that layer.
  parent->addSublayer(parent->sublayers()->front());
  EXPECT_EQ(*parent->sublayers(), (LayerList{c, b, a}));
}

TEST(LayerTree, InsertPastTheEndThrowsAndChangesNothing) {
  const auto parent = std::make_shared<Layer>();
  const auto other = std::make_shared<Layer>();
  const auto a = std::make_shared<Layer>();
  const auto b = std::make_shared<Layer>();
  parent->addSublayer(a);
  other->addSublayer(b);
  EXPECT_THROW(parent->insertSublayer(a, 1), std::out_of_range);  // one left once a has left
  EXPECT_THROW(parent->insertSublayer(b, 2), std::out_of_range);
  EXPECT_EQ(*parent->sublayers(), LayerList{a});
  EXPECT_EQ(b->superlayer(), other);
  parent->insertSublayer(b, 1);
  EXPECT_EQ(*parent->sublayers(), (LayerList{a, b}));
}

TEST(LayerTree, RemovingTheLastReferenceFromTheParentIsSafe) {
  const auto parent = std::make_shared<Layer>();
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

TEST(LayerTree, SettingSublayersDetachesTheOldAndMovesTheNew) {
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
  parent->addSublayer(labels[0]);
  parent->addSublayer(keep);
  parent->addSublayer(labels[2]);
  parent->addSublayer(shapes[0]);
  removeAllFromSuperlayer(labels);
  EXPECT_TRUE(labels.empty());
  EXPECT_EQ(labels.capacity(), 0u);
  EXPECT_EQ(*parent->sublayers(), (LayerList{keep, shapes[0]}));
  removeAllFromSuperlayer(shapes);
  EXPECT_EQ(*parent->sublayers(), LayerList{keep});
}

}  // namespace
}  // namespace platform::test
