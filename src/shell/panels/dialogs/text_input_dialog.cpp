#include "shell/panels/dialogs/text_input_dialog.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/document.h"
#include "platform/encoding.h"
#include "qtplatform/qt_text_painter.h"
#include "shell/main_window.h"
#include "shell/panels/dialog_buttons.h"
#include "shell/panels/sjis_fit.h"

namespace tovala {

namespace {

// LOGFONTA offsets.
constexpr size_t kHeight = 0, kWeight = 16, kItalic = 20, kUnderline = 21, kStrikeOut = 22,
                 kCharSet = 23, kPitchAndFamily = 27, kFaceName = 28, kFaceNameBytes = 32;
constexpr uint8_t kShiftJisCharSet = 128;
constexpr uint8_t kFixedPitch = 1;
constexpr int32_t kDefaultHeight = 20;
constexpr const char* kDefaultFace = "ＭＳ ゴシック";

void writeI32(LogFont& f, size_t at, int32_t v) {
  for (size_t i = 0; i < 4; ++i) f[at + i] = uint8_t(uint32_t(v) >> (8 * i));
}

LogFont fontWithFace(std::string_view faceUtf8) {
  LogFont f{};
  f[kCharSet] = kShiftJisCharSet;
  f[kPitchAndFamily] = kFixedPitch;
  const std::vector<uint8_t> face = utf8ToSjis(faceUtf8);
  std::memcpy(f.data() + kFaceName, face.data(), sjisPrefixBytes(face, kFaceNameBytes - 1));
  return f;
}

QColor toQColor(int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
int32_t fromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

}  // namespace

LogFont defaultTextFont() {
  LogFont f = fontWithFace(kDefaultFace);
  writeI32(f, kHeight, kDefaultHeight);
  return f;
}

LogFont logFontFrom(const QFont& font) {
  LogFont f = fontWithFace(font.family().toStdString());
  // A negative height asks for the character height, as the chooser's sizes mean it.
  const int pixels =
      font.pixelSize() > 0 ? font.pixelSize() : int(std::lround(font.pointSizeF() * 96.0 / 72.0));
  writeI32(f, kHeight, -std::max(pixels, 1));
  writeI32(f, kWeight, font.weight());
  f[kItalic] = font.italic() ? 1 : 0;
  f[kUnderline] = font.underline() ? 1 : 0;
  f[kStrikeOut] = font.strikeOut() ? 1 : 0;
  return f;
}

TextRecord makeTextRecord(int32_t key, std::string_view utf8, const LogFont& font, int32_t colour) {
  TextRecord r;
  r.key = key;
  const std::vector<uint8_t> sjis = utf8ToSjis(utf8);
  const size_t n = sjisPrefixBytes(sjis, kTextBytes);
  r.length = int32_t(n);
  std::copy_n(sjis.begin(), n, r.text.begin());
  r.font = font;
  r.color = colour;
  return r;
}

std::string recordText(const TextRecord& record) {
  const size_t n = size_t(std::clamp(record.length, 0, kTextBytes));
  return sjisToUtf8(std::span<const uint8_t>(record.text.data(), n));
}

TextInputDialog::TextInputDialog(std::string_view text, const LogFont& font, int32_t colour,
                                 QWidget* parent)
    : QDialog(parent), font_(font), colour_(colour) {
  setObjectName("120");
  setWindowTitle(QString::fromUtf8("文字入力"));
  auto* layout = new QVBoxLayout(this);
  edit_ = new QLineEdit(QString::fromUtf8(text.data(), qsizetype(text.size())));
  edit_->setObjectName("1051");
  auto* fontButton = new QPushButton(QString::fromUtf8("フォント"));
  fontButton->setObjectName("1052");
  fontButton->setAutoDefault(false);
  layout->addWidget(edit_);
  layout->addWidget(fontButton);
  addOkCancel(this, layout);
  connect(fontButton, &QPushButton::clicked, this, [this] { chooseFont(); });
}

std::string TextInputDialog::text() const { return edit_->text().toStdString(); }

// Qt's font chooser has no colour, so the colour chooser follows it; cancelling either keeps
// what was there.
void TextInputDialog::chooseFont() {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, QtTextPainter::fontFor(font_), this);
  if (!ok) return;
  font_ = logFontFrom(chosen);
  const QColor c = QColorDialog::getColor(toQColor(colour_), this);
  if (c.isValid()) colour_ = fromQColor(c);
}

void textInputCommand(TMyWindow& w) {
  Document& d = w.doc();
  if (!w.lineSelected() || d.lines[size_t(d.curLine)].kind != 3) return;
  const int32_t key = d.lines[size_t(d.curLine)].nam;
  const int at = d.findText(key);
  const bool found = at >= 0 && at < d.textCount() - 1;
  const TextRecord record =
      found ? d.texts[size_t(at)] : makeTextRecord(key, "", defaultTextFont(), 0);
  TextInputDialog dialog(recordText(record), record.font, record.color, &w);
  if (dialog.exec() != QDialog::Accepted) return;
  d.storeText(makeTextRecord(key, dialog.text(), dialog.font(), dialog.colour()));
  w.session().changed(Redraw::All);
}

}  // namespace tovala
