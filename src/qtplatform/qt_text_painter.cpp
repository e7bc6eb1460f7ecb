#include "qtplatform/qt_text_painter.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/encoding.h"

namespace tovala {

namespace {

// LOGFONTA layout: lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight (i32 each), then
// lfItalic, lfUnderline, lfStrikeOut, lfCharSet, four more bytes, and a 32-byte face name.
constexpr size_t kHeight = 0, kWeight = 16, kItalic = 20, kUnderline = 21, kStrikeOut = 22;
constexpr size_t kFaceName = 28, kFaceNameBytes = 32;
constexpr int kDefaultPixelSize = 12;  // what a height of 0 gives
constexpr int kLargestPixelSize = 1024;

int32_t readI32(const LogFont& f, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t(f[at + i]) << (8 * i);
  return int32_t(v);
}

std::string faceName(const LogFont& f) {
  size_t n = 0;
  while (n < kFaceNameBytes && f[kFaceName + n] != 0) ++n;
  return sjisToUtf8(std::span<const uint8_t>(f.data() + kFaceName, n));
}

// The first of the families that is installed, or an empty string.
QString firstInstalled(std::initializer_list<const char*> families) {
  for (const char* f : families)
    if (QFontDatabase::hasFamily(QString::fromLatin1(f))) return QString::fromLatin1(f);
  return {};
}

}  // namespace

QString QtTextPainter::familyFor(const std::string& faceUtf8) {
  static std::map<std::string, QString> chosen;
  if (auto it = chosen.find(faceUtf8); it != chosen.end()) return it->second;
  const QString face = QString::fromUtf8(faceUtf8.data(), qsizetype(faceUtf8.size()));
  QString family;
  if (!face.isEmpty() && QFontDatabase::hasFamily(face)) {
    family = face;
  } else {
    const bool mincho = face.contains(QStringLiteral("明朝")) ||
                        face.contains(QStringLiteral("mincho"), Qt::CaseInsensitive);
    // "ＭＳ Ｐゴシック", "MS PGothic": the proportional forms.
    const bool proportional = face.contains(QStringLiteral("Ｐ")) ||
                              face.contains(QStringLiteral(" P"), Qt::CaseSensitive);
    if (mincho)
      family = proportional ? firstInstalled({"IPAPMincho", "IPAMincho"})
                            : firstInstalled({"IPAMincho", "IPAPMincho"});
    if (family.isEmpty())
      family = proportional ? firstInstalled({"IPAPGothic", "IPAGothic", "IPAexGothic"})
                            : firstInstalled({"IPAGothic", "IPAexGothic", "IPAPGothic"});
    if (family.isEmpty()) family = firstInstalled({"Noto Sans CJK JP", "Droid Sans Fallback"});
  }
  chosen[faceUtf8] = family;
  return family;
}

QFont QtTextPainter::fontFor(const LogFont& lf) {
  QFont font;
  const QString family = familyFor(faceName(lf));
  if (!family.isEmpty()) font.setFamily(family);
  const int32_t height = readI32(lf, kHeight);
  if (height < 0) {
    font.setPixelSize(std::clamp(-int64_t(height), int64_t(1), int64_t(kLargestPixelSize)));
  } else if (height > 0) {
    // A positive height is the whole cell; Qt sizes by the character height.
    QFont probe = font;
    probe.setPixelSize(100);
    const int cell = QFontMetrics(probe).height();
    const int64_t size = cell > 0 ? int64_t(height) * 100 / cell : height;
    font.setPixelSize(int(std::clamp(size, int64_t(1), int64_t(kLargestPixelSize))));
  } else {
    font.setPixelSize(kDefaultPixelSize);
  }
  const int32_t weight = readI32(lf, kWeight);
  if (weight > 0) font.setWeight(QFont::Weight(std::clamp(weight, 1, 1000)));
  font.setItalic(lf[kItalic] != 0);
  font.setUnderline(lf[kUnderline] != 0);
  font.setStrikeOut(lf[kStrikeOut] != 0);
  return font;
}

GlyphMask QtTextPainter::renderGlyph(std::span<const uint8_t> sjisChar, const LogFont& lf) {
  GlyphMask mask;
  if (sjisChar.empty() || !QGuiApplication::instance()) return mask;
  const std::string utf8 = sjisToUtf8(sjisChar);
  const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
  const QFont font = fontFor(lf);
  const QFontMetrics metrics(font);
  const int advance = metrics.horizontalAdvance(text);
  const QRect ink = metrics.boundingRect(text);
  // Room for ink past the advance (italics, wide glyphs).
  const int width = std::max(advance, ink.right() + 1) + (font.italic() ? metrics.height() / 4 : 0);
  const int height = metrics.height();
  if (width <= 0 || height <= 0) return mask;

  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(0, metrics.ascent(), text);
  painter.end();

  mask.width = width;
  mask.height = height;
  mask.advance = advance;
  mask.alpha.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x)
      mask.alpha[size_t(y) * size_t(width) + size_t(x)] = uint8_t(qAlpha(line[x]));
  }
  return mask;
}

namespace {

QtMessageHandler previousHandler = nullptr;

// A headless tool prints only its own messages: Qt's notes about the missing desktop session
// (runtime folders, platform plugins) are dropped, real errors still go through.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtCriticalMsg && type != QtFatalMsg) return;
  if (previousHandler)
    previousHandler(type, context, text);
  else
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

OffscreenGuiApplication::OffscreenGuiApplication() {
  if (QGuiApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  previousHandler = qInstallMessageHandler(quietHandler);
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

OffscreenGuiApplication::~OffscreenGuiApplication() {
  if (!app_) return;
  app_.reset();
  qInstallMessageHandler(previousHandler);
}

}  // namespace tovala
