#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "platform/ui.h"

namespace tovala {
namespace {

TEST(Encoding, ShiftJisRoundTripsJapaneseAndAscii) {
  const std::vector<uint8_t> sjis = utf8ToSjis("名無しAB");
  EXPECT_EQ(sjis, (std::vector<uint8_t>{0x96, 0xBC, 0x96, 0xB3, 0x82, 0xB5, 'A', 'B'}));
  EXPECT_EQ(sjisToUtf8(sjis), "名無しAB");
  EXPECT_TRUE(isSjisLeadByte(0x96));
  EXPECT_TRUE(isSjisLeadByte(0xE0));
  EXPECT_FALSE(isSjisLeadByte('A'));
  EXPECT_FALSE(isSjisLeadByte(0xA1));  // half-width katakana is one byte
}

TEST(Encoding, BadBytesAreReplacedNotFatal) {
  const std::vector<uint8_t> broken{'a', 0x96, 'b', 0xFF};
  std::string s = sjisToUtf8(broken);
  EXPECT_EQ(s.substr(0, 1), "a");
  EXPECT_NE(s.find("\xEF\xBF\xBD"), std::string::npos);
  // A character Shift-JIS cannot hold becomes '?'.
  EXPECT_EQ(utf8ToSjis("x\xF0\x9F\x98\x80y"), (std::vector<uint8_t>{'x', '?', 'y'}));
}

TEST(Ui, RecordingUiRemembersAndAnswersInOrder) {
  RecordingUi ui;
  ui.queueAnswer(Answer::Yes);
  ui.message("本文", "エラー");
  EXPECT_EQ(ui.ask("よろしいですか?", "確認", Buttons::YesNo), Answer::Yes);
  EXPECT_EQ(ui.ask("よろしいですか?", "確認", Buttons::YesNo), Answer::No);
  ASSERT_EQ(ui.shown.size(), 3u);
  EXPECT_EQ(ui.shown[0].caption, "エラー");
  EXPECT_FALSE(ui.shown[0].question);
  EXPECT_TRUE(ui.shown[1].question);
  ui.queuePath(std::string("/tmp/a.tov"));
  EXPECT_EQ(ui.chooseFile({}), std::optional<std::string>("/tmp/a.tov"));
  EXPECT_EQ(ui.chooseFile({}), std::nullopt);
}

TEST(Ui, HeadlessUiPrintsCaptionColonText) {
  std::FILE* f = std::tmpfile();
  HeadlessUi ui(f);
  ui.message("ビットマップではありません!!", "error");
  ui.message("x", "");
  EXPECT_EQ(ui.ask("q", "確認", Buttons::YesNo), Answer::No);
  std::rewind(f);
  char buf[256] = {};
  size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buf, n), "error: ビットマップではありません!!\n: x\n確認: q\n");
  HeadlessUi yes(stderr, true);
  EXPECT_EQ(yes.ask("q", "c", Buttons::YesNo), Answer::Yes);
}

}  // namespace
}  // namespace tovala
