#include <cairo-pdf.h>
#include <cairo.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "Bexlan/URL.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace Bexlan {
namespace {

namespace fs = std::filesystem;

// The kind libmagic's MIME type implies (`file` has a database of its own, independent of GIO's).
FileType kindOfMagicType(const fs::path& path) {
  const std::string output = systemtest::commandOutput("file --mime-type -b '" + path.string() + "'");
  const std::string type = output.substr(0, output.find('\n'));
  if (type.starts_with("image/")) return FileType::photo;
  if (type.starts_with("audio/")) return FileType::audio;
  if (type == "application/gzip" || type == "application/x-tar") return FileType::archive;
  return type == "application/pdf" ? FileType::document : FileType::other;
}

// Files of each kind in a directory of the test's own: a PNG and a PDF from cairo, text, a WAVE sound, gzip
// and tar archives; a directory and a link to it.
class FileKinds : public testing::Test {
 protected:
  void SetUp() override {
    cairo_surface_t* png = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_surface_write_to_png(png, (dir / "picture.png").c_str());
    cairo_surface_destroy(png);
    cairo_surface_destroy(cairo_pdf_surface_create((dir / "paper.pdf").c_str(), 100, 100));  // one blank page
    std::ofstream(dir / "notes.txt") << "Plain words on a line.\nAnother line.\n";
    auto le32 = [](unsigned v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    std::ofstream(dir / "sound.wav", std::ios::binary)
        << "RIFF" << le32(36 + 800) << "WAVEfmt " << le32(16) << std::string("\1\0\1\0", 4) << le32(8000)
        << le32(8000) << std::string("\1\0\x08\0", 4) << "data" << le32(800) << std::string(800, '\x80');
    const std::string archive =
        "cd '" + dir.string() + "' && gzip -c notes.txt > letters.gz && tar cf bundle.tar *.*";
    ASSERT_EQ(std::system(archive.c_str()), 0);
    fs::create_directory(dir / "folder");
    fs::create_directory_symlink(dir / "folder", dir / "link");
  }

  const volumetest::TemporaryDirectory temporary;
  const fs::path dir = temporary.path();
};

TEST_F(FileKinds, AgreeWithLibmagicOnFilesOfEveryKind) {
  const std::pair<std::string, FileType> cases[] = {
      {"picture.png", FileType::photo}, {"paper.pdf", FileType::document}, {"notes.txt", FileType::other},
      {"sound.wav", FileType::audio},   {"letters.gz", FileType::archive}, {"bundle.tar", FileType::archive}};
  std::vector<std::pair<std::string, FileType>> named = {
      {"folder", FileType::other}, {"link", FileType::other}, {"missing.png", FileType::other}};
  for (const auto& [name, kind] : cases) {
    // The same bytes under a name without an extension: the content alone decides.
    const std::string unnamed = "unnamed-" + fs::path(name).stem().string();
    fs::copy_file(dir / name, dir / unnamed);
    named.insert(named.end(), {{name, kind}, {unnamed, kind}});
  }
  for (const auto& [name, kind] : named) {
    SCOPED_TRACE(name + " is " + URL::typeIdentifier(dir / name).value_or("nothing"));
    EXPECT_EQ(URL::fileType(dir / name), kind);
    EXPECT_EQ(kindOfMagicType(dir / name), kind);
    EXPECT_EQ(URL::isImage(dir / name), kind == FileType::photo);
    EXPECT_EQ(URL::isAudio(dir / name), kind == FileType::audio);
    EXPECT_EQ(URL::isArchive(dir / name), kind == FileType::archive);
    EXPECT_EQ(URL::isPDF(dir / name), kind == FileType::document);
    EXPECT_FALSE(URL::isMovie(dir / name));
    EXPECT_EQ(URL::isDirectory(dir / name), name == "folder");  // a link is examined itself, not followed
  }
  EXPECT_EQ(URL::typeIdentifier(dir / "unnamed-picture"), "image/png");
  EXPECT_EQ(URL::typeIdentifier(dir / "folder"), "inode/directory");
  EXPECT_EQ(URL::typeIdentifier(dir / "link"), "inode/symlink");
  EXPECT_EQ(URL::contentType(dir / "missing.png"), std::nullopt);
  EXPECT_EQ(URL::fileName("/data/photos/"), "photos");
  EXPECT_TRUE(platform::UniformType("application/x-gzip").conforms(platform::UniformType::Category::archive));
}

}  // namespace
}  // namespace Bexlan
