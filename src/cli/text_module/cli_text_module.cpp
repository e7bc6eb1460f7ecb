// The font module of tovala-cli: the only part of the tool that links Qt. The tool loads it
// with dlopen() when a project it draws has text lines.

#include <QGuiApplication>
#include <exception>
#include <memory>
#include <type_traits>

#include "cli/text_fonts.h"
#include "qtplatform/qt_text_painter.h"

namespace {

// A Qt painter that keeps the offscreen application alive as long as it is used.
class ModuleTextPainter final : public tovala::TextPainter {
 public:
  tovala::GlyphMask renderGlyph(std::span<const uint8_t> sjisChar,
                                const tovala::LogFont& font) override {
    return painter_.renderGlyph(sjisChar, font);
  }
  bool ready() const { return QGuiApplication::instance() != nullptr; }

 private:
  tovala::OffscreenGuiApplication app_;  // made first, gone last
  tovala::QtTextPainter painter_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) tovala::TextPainter* tovala_cli_text_painter() {
  static_assert(std::is_same_v<decltype(&tovala_cli_text_painter), tovala::cli::TextModuleFactory>);
  try {
    auto painter = std::make_unique<ModuleTextPainter>();
    if (painter->ready()) return painter.release();  // the tool owns it from here
  } catch (const std::exception&) {
  }
  return nullptr;
}
