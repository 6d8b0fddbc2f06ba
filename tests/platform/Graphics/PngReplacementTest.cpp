// Writing a PNG over an old one: whole or not at all, and an error that says why.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The message of the ImageError that writing the image to `path` throws; empty when nothing is thrown.
std::string writeFailure(const std::string& path, const Image& image = *Image::create({8, 8})) {
  try {
    image.writePng(path);
  } catch (const ImageError& error) {
    return error.what();
  }
  return {};
}

TEST(PngReplacement, AFullFileSystemLeavesTheOldPictureWhole) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a 64 KiB tmpfs needs root";
  const volumetest::TemporaryDirectory directory;
  const volumetest::ScopedMount small(directory.path() + "/small", "velmora-test", "tmpfs", "size=64k");
  const fs::path picture = fs::path(small.mountPoint()) / "picture.png";
  Image::create({8, 8})->writePng(picture);
  const std::string old = contents(picture);
  for (std::ofstream filler(fs::path(small.mountPoint()) / "filler");
       filler << std::string(4096, 'x') << std::flush;) {
  }
  // Coloured noise: a PNG larger than the old picture's blocks, which a write in place would reuse.
  const auto noise = Image::create({64, 64});
  ImageFocus focus(*noise);
  for (unsigned i = 0, state = 1; i < 64 * 64; ++i, state = state * 1664525u + 1013904223u) {
    focus.context().setFillColor(
        {(state >> 8 & 255) / 255.0, (state >> 16 & 255) / 255.0, (state >> 24) / 255.0, 1});
    focus.context().fillRect(Rect(i % 64, i / 64, 1, 1));
  }

  const std::string failure = writeFailure(picture, *noise);
  EXPECT_NE(failure.find("No space left on device"), std::string::npos) << failure;
  EXPECT_TRUE(contents(picture) == old) << "the old picture changed";
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(small.mountPoint())) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"filler", "picture.png"})) << "the temporary file stays behind";
}

TEST(PngReplacement, ErrorsNameTheCause) {
  const volumetest::TemporaryDirectory directory;
  std::ofstream(directory.path() + "/file") << "a file";
  EXPECT_NE(writeFailure(directory.path() + "/file/picture.png").find("Not a directory"), std::string::npos);
  EXPECT_NE(writeFailure(directory.path()).find("Is a directory"), std::string::npos);
  EXPECT_NE(writeFailure(directory.path() + "/missing/a.png").find("No such file or directory"),
            std::string::npos);
}

}  // namespace
}  // namespace platform
