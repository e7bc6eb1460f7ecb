#pragma once
// "文字入力" (dialog 120): the text of a text line, with its font and colour. The text is kept
// in the document as a TextRecord keyed by the line's number: Shift-JIS bytes, at most 128.

#include <QDialog>

#include <cstdint>
#include <string>
#include <string_view>

#include "model/records.h"
#include "platform/text_painter.h"

class QFont;
class QLineEdit;

namespace tovala {

class TMyWindow;

// The font of a line without a text record: height 20, Shift-JIS, "ＭＳ ゴシック".
LogFont defaultTextFont();
// The LOGFONTA describing a font the font chooser returned.
LogFont logFontFrom(const QFont& font);
// The record for line number `key`: the text cut to 128 Shift-JIS bytes (never inside a
// two-byte character), zero padded.
TextRecord makeTextRecord(int32_t key, std::string_view utf8, const LogFont& font, int32_t colour);
// The text a record holds, as UTF-8.
std::string recordText(const TextRecord& record);

class TextInputDialog : public QDialog {
  Q_OBJECT

 public:
  TextInputDialog(std::string_view text, const LogFont& font, int32_t colour,
                  QWidget* parent = nullptr);

  std::string text() const;
  const LogFont& font() const { return font_; }
  int32_t colour() const { return colour_; }
  QLineEdit* textEdit() const { return edit_; }

 private:
  void chooseFont();

  QLineEdit* edit_;
  LogFont font_;
  int32_t colour_;
};

// "文字" (40035): edits the text of the selected text line.
void textInputCommand(TMyWindow& w);

}  // namespace tovala
