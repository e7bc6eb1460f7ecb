#pragma once
// The Qt TextPainter: each character painted with QPainter into a QImage whose alpha becomes the
// coverage mask. LOGFONTA face names are Shift-JIS; Windows Japanese face names map to the
// installed Japanese Gothic (or Mincho) fonts.

#include <QFont>
#include <QString>
#include <memory>
#include <string>

#include "platform/text_painter.h"

class QGuiApplication;

namespace tovala {

class QtTextPainter : public TextPainter {
 public:
  GlyphMask renderGlyph(std::span<const uint8_t> sjisChar, const LogFont& font) override;

  // The Qt font a LOGFONTA describes.
  static QFont fontFor(const LogFont& font);
  // The installed family for a face name (UTF-8): the face itself when installed, otherwise a
  // Japanese font of the same style.
  static QString familyFor(const std::string& faceUtf8);
};

// Fonts need a QGuiApplication. For tools without a window this makes one on the offscreen
// platform (unless QT_QPA_PLATFORM names another) while it lives; it does nothing when an
// application exists already.
class OffscreenGuiApplication {
 public:
  OffscreenGuiApplication();
  ~OffscreenGuiApplication();
  OffscreenGuiApplication(const OffscreenGuiApplication&) = delete;
  OffscreenGuiApplication& operator=(const OffscreenGuiApplication&) = delete;

 private:
  int argc_ = 1;
  char name_[16] = "tovala";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace tovala
