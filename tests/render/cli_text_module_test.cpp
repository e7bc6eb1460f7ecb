// tovala-cli draws characters through the font module next to it, and without the module still
// renders, draws the strokes and says once that the characters are left out.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "codec/bmp.h"
#include "model/project_file.h"
#include "render_fixtures.h"
#include "support/test_support.h"

namespace tovala {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string err;
};

ToolRun runTool(const std::string& tool, const std::string& in, const std::string& out,
            const test::TempDir& dir) {
  const std::string errFile = dir.file("stderr.txt");
  const std::string cmd = "'" + tool + "' render '" + in + "' -o '" + out + "' 2>'" + errFile + "'";
  const int raw = std::system(cmd.c_str());
  ToolRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  const auto bytes = test::readFileBytes(errFile);
  r.err.assign(bytes.begin(), bytes.end());
  return r;
}

ImageSlot readPicture(const std::string& path) {
  ImageSlot image;
  EXPECT_TRUE(decodeBmp(test::readFileBytes(path), image));
  return image;
}

int countColour(const ImageSlot& picture, uint32_t colour) {
  int n = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) n += picture.pixel(x, y) == colour;
  return n;
}

size_t countOf(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Saves a project with one text line ("あい" in red, 32 pixels high) and one without.
void saveProjects(const test::TempDir& dir) {
  auto doc = test::smallDocument(120, 60);
  test::addLine(*doc, {{5, 50}, {110, 50}});
  ASSERT_TRUE(saveProject(*doc, dir.file("plain.tov"), true));
  const int line = test::addLine(*doc, {{10, 10}, {60, 10}}, 3);
  TextRecord text;
  text.key = doc->lines[size_t(line)].nam;
  const uint8_t bytes[] = {0x82, 0xA0, 0x82, 0xA2};
  std::copy(std::begin(bytes), std::end(bytes), text.text.begin());
  text.length = 4;
  text.color = 0x0000FF;
  text.font[0] = 0xE0;
  text.font[1] = text.font[2] = text.font[3] = 0xFF;
  const uint8_t face[] = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x83, 0x53,
                          0x83, 0x56, 0x83, 0x62, 0x83, 0x4E};
  std::copy(std::begin(face), std::end(face), text.font.begin() + 28);
  doc->storeText(text);
  ASSERT_TRUE(saveProject(*doc, dir.file("text.tov"), true));
}

TEST(CliTextModule, CharactersComeFromTheModuleAndAreSkippedWithoutIt) {
  const fs::path tool = TOVALA_CLI_PATH;
  const fs::path module = tool.parent_path() / "tovala-cli-text.so";
  test::TempDir dir;
  saveProjects(dir);

  // A copy of the tool alone in another folder has no font module.
  const std::string lone = dir.file("tovala-cli");
  fs::copy_file(tool, lone);
  const ToolRun plainLone = runTool(lone, dir.file("plain.tov"), dir.file("plain_lone.bmp"), dir);
  ASSERT_EQ(plainLone.status, 0) << plainLone.err;
  EXPECT_EQ(plainLone.err, "");  // nothing to say when no line has characters
  const ToolRun textLone = runTool(lone, dir.file("text.tov"), dir.file("text_lone.bmp"), dir);
  ASSERT_EQ(textLone.status, 0) << textLone.err;
  EXPECT_EQ(countOf(textLone.err, "text lines are not drawn"), 1u) << textLone.err;
  const ImageSlot lonePicture = readPicture(dir.file("text_lone.bmp"));
  EXPECT_EQ(countColour(lonePicture, 0x0000FF), 0);
  // The strokes are drawn all the same: the picture is not the one without the text line.
  EXPECT_NE(test::readFileBytes(dir.file("text_lone.bmp")),
            test::readFileBytes(dir.file("plain_lone.bmp")));

  // The tool in its build folder: the plain project gives the same bytes.
  const ToolRun plain = runTool(tool.string(), dir.file("plain.tov"), dir.file("plain.bmp"), dir);
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(test::readFileBytes(dir.file("plain.bmp")),
            test::readFileBytes(dir.file("plain_lone.bmp")));
  if (!fs::exists(module)) GTEST_SKIP() << "built without the Qt font module";
  const ToolRun withFonts = runTool(tool.string(), dir.file("text.tov"), dir.file("text.bmp"), dir);
  ASSERT_EQ(withFonts.status, 0) << withFonts.err;
  EXPECT_EQ(withFonts.err, "");
  EXPECT_GT(countColour(readPicture(dir.file("text.bmp")), 0x0000FF), 20);
}

}  // namespace
}  // namespace tovala
