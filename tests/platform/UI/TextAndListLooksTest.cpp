#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

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

const Appearance dark(std::string(Appearance::darkAqua));

// The first and last pixel rows holding a pixel that matches; last is -1 when none does.
std::pair<int, int> rowsWhere(const Image& image, bool (*matches)(const Rgba&)) {
  std::pair<int, int> rows{image.pixelHeight(), -1};
  for (int row = 0; row < image.pixelHeight(); ++row) {
    for (int column = 0; column < image.pixelWidth(); ++column) {
      if (matches(image.pixel(column, row))) rows = {std::min(rows.first, row), row};
    }
  }
  return rows;
}

TEST(TextField, ShowsItsDefaultTextLightOnADarkAppearanceAndTheSearchBezelDark) {
  auto field = View::create<TextField>(Rect(0, 0, 80, 20));
  field->setStringValue("WWW");
  field->setAppearance(dark);
  const auto light = [](const Rgba& pixel) { return pixel.red > 0.6; };
  EXPECT_GE(rowsWhere(*ViewRenderer::image(*field), light).second, 0);

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
  // The rows of the red text, told apart from the white and grey bezel.
  const auto red = [](const Rgba& pixel) { return pixel.red > 0.6 && pixel.green < 0.3; };
  const auto [top, bottom] = rowsWhere(*image, red);
  ASSERT_GE(bottom, 0);
  EXPECT_NEAR(top, image->pixelHeight() - 1 - bottom, 4);
}

TEST(ListViews, FillTheirBackgroundsDarkInADarkAppearance) {
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
