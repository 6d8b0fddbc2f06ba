#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/UI/CollectionView.hpp"
#include "Platform/UI/ScrollView.hpp"
#include "Platform/UI/SearchFieldCell.hpp"
#include "Platform/UI/TableView.hpp"
#include "Platform/UI/TextField.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform {
namespace {

// The brightest red component of any pixel.
double brightest(const Image& image) {
  double found = 0;
  for (int row = 0; row < image.pixelHeight(); ++row) {
    for (int column = 0; column < image.pixelWidth(); ++column) {
      found = std::max(found, image.pixel(column, row).red);
    }
  }
  return found;
}

TEST(TextField, ShowsItsDefaultTextLightOnADarkAppearanceAndTheSearchBezelDark) {
  auto field = View::create<TextField>(Rect(0, 0, 80, 20));
  field->setStringValue("WWW");
  field->setAppearance(Appearance(std::string(Appearance::darkAqua)));
  EXPECT_GT(brightest(*ViewRenderer::image(*field)), 0.6);

  field->setCell(std::make_shared<SearchFieldCell>());
  field->setStringValue("");
  EXPECT_LT(test::pixelAt(*ViewRenderer::image(*field), 40, 10).red, 0.5);
}

TEST(SearchField, CentresItsTextInTheBezel) {
  auto field = View::create<TextField>(Rect(0, 0, 140, 40));
  field->setCell(std::make_shared<SearchFieldCell>());
  field->setTextColor(Color::rgb(1, 0, 0));
  field->setStringValue("Hg");
  const auto image = ViewRenderer::image(*field);
  // The rows holding the red text, apart from the white and grey bezel.
  int top = image->pixelHeight();
  int bottom = -1;
  for (int row = 0; row < image->pixelHeight(); ++row) {
    for (int column = 0; column < image->pixelWidth(); ++column) {
      const Rgba pixel = image->pixel(column, row);
      if (pixel.red > 0.6 && pixel.green < 0.3) {
        top = std::min(top, row);
        bottom = std::max(bottom, row);
      }
    }
  }
  ASSERT_GE(bottom, 0);
  EXPECT_NEAR(top, image->pixelHeight() - 1 - bottom, 4);
}

TEST(ListViews, FillTheirBackgroundsDarkInADarkAppearance) {
  const Appearance dark(std::string(Appearance::darkAqua));
  for (const std::shared_ptr<View>& view :
       {std::static_pointer_cast<View>(View::create<ScrollView>(Rect(0, 0, 20, 20))),
        std::static_pointer_cast<View>(View::create<TableView>(Rect(0, 0, 20, 20))),
        std::static_pointer_cast<View>(View::create<CollectionView>(Rect(0, 0, 20, 20)))}) {
    view->setAppearance(dark);
    EXPECT_LT(test::pixelAt(*ViewRenderer::image(*view), 10, 10).red, 0.2);
  }
}

}  // namespace
}  // namespace platform
