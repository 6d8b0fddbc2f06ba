#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Platform/UI/ViewProperty.hpp"

namespace platform {
namespace {

std::vector<std::string> awakened;

class Badge : public View {
 public:
  using View::View;
  double radius() const { return radius_; }
  void setRadius(double radius) { radius_ = radius; }
  std::int64_t tag() const override { return tag_; }
  void setTag(std::int64_t tag) { tag_ = tag; }
  // Reads its settings and its subviews, which are all there by now.
  void awakeFromNib() override {
    awakened.push_back("badge " + std::to_string(tag_) + " with " + std::to_string(subviews().size()));
  }

 private:
  double radius_ = 8;
  std::int64_t tag_ = 0;
};

class Label : public Badge {
 public:
  using Badge::Badge;
  const std::string& text() const { return text_; }
  void setText(const std::string& text) { text_ = text; }
  void awakeFromNib() override { awakened.push_back("label " + text_); }

 private:
  std::string text_;
};

class ViewLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    awakened.clear();
    static bool defined = false;
    if (std::exchange(defined, true)) return;
    ViewClass::define<Badge>("LoaderTestBadge", "View",
                             {{"radius", inspectable(&Badge::radius, &Badge::setRadius)},
                              {"tag", inspectable(&Badge::tag, &Badge::setTag)}});
    ViewClass::define<Label>("LoaderTestLabel", "LoaderTestBadge",
                             {{"text", inspectable(&Label::text, &Label::setText)}});
  }
};

// Colour settings are checked by Tavrix's
// AnimatedGradientProgressView.LoadsFromAnArchiveAndRefusesBadSettings.
TEST_F(ViewLoaderTest, BuildsTheTreeByClassNameSetsPropertiesThenAwakesIt) {
  ViewArchive label{"LoaderTestLabel", Rect(1, 2, 30, 10), {{"text", std::string("CPU")}, {"radius", 3}}, {}};
  const std::shared_ptr<View> view = ViewLoader::load(
      {"LoaderTestBadge", Rect(0, 0, 100, 50), {{"tag", std::int64_t{7}}, {"hidden", true}}, {label}});
  const auto* loaded = dynamic_cast<const Badge*>(view.get());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(std::tuple(loaded->tag(), loaded->isHidden(), loaded->frame()),
            std::tuple(7, true, Rect(0, 0, 100, 50)));
  ASSERT_EQ(view->subviews().size(), 1u);
  const auto* child = dynamic_cast<const Label*>(view->subviews().front().get());
  ASSERT_NE(child, nullptr);
  // An integer setting is taken for a number; properties are inherited from the superclass.
  EXPECT_EQ(std::pair(child->text(), child->radius()), std::pair(std::string("CPU"), 3.0));
  EXPECT_EQ(awakened, (std::vector<std::string>{"badge 7 with 1", "label CPU"}));

  EXPECT_EQ(std::get<std::string>(ViewClass::value(*child, "text")), "CPU");
  EXPECT_EQ(std::get<bool>(ViewClass::value(*view, "hidden")), true);
}

TEST_F(ViewLoaderTest, RejectsUnknownClassesPropertiesAndKindsBeforeAnythingAwakes) {
  EXPECT_THROW(ViewLoader::load({"NoSuchView", Rect(), {}, {}}), std::invalid_argument);
  EXPECT_THROW(ViewLoader::load({"LoaderTestBadge", Rect(), {{"text", std::string("x")}}, {}}),
               std::invalid_argument);
  EXPECT_THROW(ViewLoader::load({"LoaderTestBadge", Rect(), {{"tag", 1.5}}, {}}), std::invalid_argument);
  const ViewArchive wrongKindBelow{
      "LoaderTestBadge", Rect(), {}, {{"LoaderTestLabel", Rect(), {{"text", 1.0}}, {}}}};
  EXPECT_THROW(ViewLoader::load(wrongKindBelow), std::invalid_argument);
  EXPECT_TRUE(awakened.empty());
  EXPECT_THROW(ViewClass::define<Label>("AnotherName", "View"), std::invalid_argument);
  EXPECT_THROW(ViewClass::define<View>("LoaderTestBadge", "View"), std::invalid_argument);
  class Unregistered : public View {
   public:
    using View::View;
  };
  EXPECT_THROW(ViewClass::define<Unregistered>("Unregistered", "NoSuchSuperclass"), std::invalid_argument);
}

}  // namespace
}  // namespace platform
