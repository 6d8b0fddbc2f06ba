#include <gtest/gtest.h>

#include <limits>

#include "Bexlan/LayerSnapshot.hpp"

namespace {

TEST(LayerSnapshotTest, TruncatedFrameKeepsTheBottomLeftCorner) {
  const auto layer = std::make_shared<platform::Layer>();
  layer->setFrame({0, 0, 10.7, 5.9});
  layer->setBackgroundColor(platform::Rgba{1, 0, 0, 1});
  const auto bottomRow = std::make_shared<platform::Layer>();
  bottomRow->setFrame({0, 0, 1, 1});
  bottomRow->setBackgroundColor(platform::Rgba{0, 0, 1, 1});
  layer->addSublayer(bottomRow);

  const auto image = Bexlan::CALayer::snapshotImage(*layer);
  ASSERT_EQ(image->pixelWidth(), 10);
  ASSERT_EQ(image->pixelHeight(), 5);
  EXPECT_EQ(image->pixel(0, 4), (platform::Rgba{0, 0, 1, 1}));
  EXPECT_EQ(image->pixel(9, 0), (platform::Rgba{1, 0, 0, 1}));
  for (const platform::Rect frame :
       {platform::Rect{0, 0, 0.9, 4}, {0, 0, 4, std::numeric_limits<double>::infinity()}}) {
    layer->setFrame(frame);
    EXPECT_TRUE(Bexlan::CALayer::snapshotImage(*layer)->isEmpty());
  }
}

}  // namespace
