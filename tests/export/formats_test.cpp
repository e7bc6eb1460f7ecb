// The format table: what a file name asks for, and the dialog's filters built from it.

#include <gtest/gtest.h>

#include <filesystem>

#include "export/formats.h"
#include "support/test_support.h"

namespace tovala {
namespace {

TEST(ExportFormats, AFileNameChoosesItsFormatByExtension) {
  struct Case {
    const char* path;
    bool animation;
    std::optional<ExportFormat> expected;
  };
  const Case cases[] = {
      {"a.png", false, ExportFormat::Png},     {"a.PNG", false, ExportFormat::Png},
      {"a.jpg", false, ExportFormat::Jpeg},    {"a.JPEG", false, ExportFormat::Jpeg},
      {"a.bmp", false, ExportFormat::Bmp},     {"a.gif", false, ExportFormat::Gif},
      {"dir/a.webp", false, ExportFormat::WebP}, {"a.tov", false, std::nullopt},
      {"noextension", false, std::nullopt},    {"out/", false, std::nullopt},
      {"a.gif", true, ExportFormat::Gif},      {"a.WebP", true, ExportFormat::WebP},
      {"walk.png", true, ExportFormat::PngSequence}, {"out/", true, ExportFormat::PngSequence},
      {"a.jpg", true, std::nullopt},           {"a.bmp", true, std::nullopt},
      {"", true, std::nullopt},
  };
  for (const Case& c : cases) {
    const ExportFormatInfo* f = formatForOutput(c.path, c.animation);
    EXPECT_EQ(f != nullptr, c.expected.has_value()) << c.path << " " << c.animation;
    if (f && c.expected) {
      EXPECT_EQ(f->format, *c.expected) << c.path;
    }
  }
  // An existing folder, even without a closing separator, is a sequence's place.
  test::TempDir dir;
  const ExportFormatInfo* folder = formatForOutput(dir.path().string(), true);
  ASSERT_NE(folder, nullptr);
  EXPECT_TRUE(folder->sequence);
}

TEST(ExportFormats, EveryRowIsReachableAndTheFiltersListWhatEachCanDo) {
  for (const ExportFormatInfo& f : exportFormats()) {
    EXPECT_EQ(&formatInfo(f.format), &f);
    EXPECT_TRUE(f.still || f.animated || f.sequence) << f.extension;
    if (!f.sequence) {
      EXPECT_EQ(formatForExtension(f.extension), &f) << f.extension;
    }
  }
  EXPECT_FALSE(formatInfo(ExportFormat::Jpeg).transparency);
  EXPECT_TRUE(formatInfo(ExportFormat::Gif).transparency);
  EXPECT_FALSE(formatInfo(ExportFormat::Gif).partialOpacity);
  EXPECT_EQ(exportFileFilter(false),
            "PNG画像|*.png|JPEG画像|*.jpg|BMP画像|*.bmp|GIF|*.gif|"
            "WebP|*.webp||");
  EXPECT_EQ(exportFileFilter(true), "GIF|*.gif|WebP|*.webp|PNG連番|*.png||");
}

}  // namespace
}  // namespace tovala
