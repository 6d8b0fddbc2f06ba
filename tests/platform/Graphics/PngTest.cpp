#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

// A directory of the test's own, removed with everything in it at the end.
struct TemporaryDirectory {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("png-test-" + std::to_string(::getpid()) + "-" +
                                      testing::UnitTest::GetInstance()->current_test_info()->name());
  TemporaryDirectory() { std::filesystem::create_directories(path); }
  ~TemporaryDirectory() { std::filesystem::remove_all(path); }
  std::string file(const std::string& name) const { return (path / name).string(); }
};

TEST(Png, SceneWrittenAndReadBackKeepsItsPixels) {
  // A translucent background, a gradient, a stroked curve and a label.
  auto root = canvas(60, 40);
  root->setBackgroundColor(Rgba{1, 1, 1, 0.5});
  auto gradient = std::make_shared<GradientLayer>();
  gradient->setFrame(Rect(0, 0, 30, 40));
  gradient->setColors({opaqueRed, opaqueBlue});
  root->addSublayer(gradient);
  BezierPath curve;
  curve.move({30, 5});
  curve.curve({58, 35}, {40, 40}, {50, 0});
  auto stroke = std::make_shared<ShapeLayer>();
  stroke->setPath(curve.path());
  stroke->setStrokeColor(opaqueGreen);
  stroke->setLineWidth(3);
  root->addSublayer(stroke);
  auto label = std::make_shared<TextLayer>();
  label->setFrame(Rect(32, 20, 28, 20));
  label->setString("Hi");
  label->setFontSize(12);
  root->addSublayer(label);

  const TemporaryDirectory directory;
  const auto rendered = Snapshot::image(*root, 2);
  Snapshot::writePng(*root, directory.file("scene.png"), 2);
  const auto read = Image::readPng(directory.file("scene.png"), 2);
  EXPECT_EQ(read->size(), (Size{60, 40}));
  ASSERT_EQ(read->pixelWidth(), 120);
  ASSERT_EQ(read->pixelHeight(), 80);
  for (int row = 0; row < 80 && !HasFailure(); ++row) {
    for (int column = 0; column < 120 && !HasFailure(); ++column) {
      // PNG keeps straight alpha: a translucent pixel may come back one 8-bit step off.
      expectRgba(read->pixel(column, row), rendered->pixel(column, row), 1.01 / 255);
    }
  }
  // The pixel over y 1...1.5 has its centre 1.25 / 40 of the way up the gradient.
  expectRgba(pixelAt(*read, 1, 1), {0.96875, 0, 0.03125, 1}, 0.01);
  expectRgba(pixelAt(*read, 55, 10), {0.5, 0.5, 0.5, 0.5}, 0.01);
}

TEST(Png, FilesThatCannotBeReadOrWrittenThrow) {
  const TemporaryDirectory directory;
  EXPECT_THROW(Image::readPng(directory.file("missing.png")), ImageError);
  std::ofstream(directory.file("text.png")) << "not a picture";
  EXPECT_THROW(Image::readPng(directory.file("text.png")), ImageError);
  EXPECT_THROW(Image::create({4, 4})->writePng(directory.file("no/such/dir/a.png")), ImageError);
  EXPECT_THROW(Image::create({0, 0})->writePng(directory.file("empty.png")), ImageError);
  EXPECT_FALSE(std::filesystem::exists(directory.file("empty.png")));
}

}  // namespace
}  // namespace platform::test
