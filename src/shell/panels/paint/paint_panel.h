#pragma once
// The paint panel "ペイントモード" (dialog 114): a palette of ten brushes and three colour bars
// with their number boxes. Like every panel it changes nothing itself; a click stores the chosen
// brush and colour and tells the window, which hands them to the document.

#include <array>
#include <cstdint>

#include <QImage>

#include "shell/panel.h"

class QLineEdit;

namespace tovala {

struct PaintBrush {
  float w = 0, h = 0, a = 0, k = 0;
};

inline constexpr int kPaintBrushCount = 10;
inline constexpr int kPaletteWidth = 181;
inline constexpr int kPaletteHeight = 75;
// A bar's marker runs from 0 to this x; the bar is one pixel wider, so both ends can be hit.
inline constexpr int kColourBarSpan = 131;
inline constexpr int kDefaultBrush = 6;
inline constexpr int kDefaultMarker = 50;

// The preset of brush `index` (held to 0..9).
PaintBrush paintBrushPreset(int index);
// The brush whose palette cell holds (x, y), or -1 outside the palette.
int paletteCellAt(int x, int y, int paletteWidth, int paletteHeight);
// A colour component from a marker position on a bar of span `span`, held to 0..255.
int componentFromMarker(int marker, int span);
// The marker position that shows `value` (held to 0..255).
int markerFromComponent(int value, int span);
// RGB(red, green, blue) as 0x00BBGGRR.
uint32_t penColourOf(int red, int green, int blue);

class PaintPanel : public Panel {
  Q_OBJECT

 public:
  // Action codes: the start-up notification (ignored by the window) and a click.
  static constexpr int kInitial = -2;
  static constexpr int kClicked = 1;
  enum Bar { kNoBar = 0, kRed = 1, kGreen = 2, kBlue = 3 };

  explicit PaintPanel(QWidget* parent);

  // Stores `code`, takes the brush preset and the boxes' values (held to 0..255, shown again)
  // and sends the panel message.
  void notifyWindow(int code);

  // The mouse as the palette and bars see it; the areas forward their events here. `area` is
  // the palette (0) or a bar (1..3), positions are relative to the area.
  void pressAt(int area, int x, int y);
  void moveAt(int area, int x, int y);
  void releaseAt();

  int brushIndex() const { return brushIndex_; }
  const PaintBrush& brush() const { return brush_; }
  int red() const { return colour_[0]; }
  int green() const { return colour_[1]; }
  int blue() const { return colour_[2]; }
  int marker(int bar) const { return marker_[size_t(bar - 1)]; }
  int activeBar() const { return activeBar_; }
  QLineEdit* box(int bar) const { return boxes_[size_t(bar - 1)]; }
  QWidget* area(int index) const { return areas_[size_t(index)]; }
  // The palette as shown, with the chosen cell inverted.
  QImage paletteImage() const;
  // The bar as shown: the component ramp and the white marker.
  QImage barImage(int bar) const;

 private:
  void componentsFromMarkers();
  void showComponents();
  void typed(int bar);

  QImage palette_;
  std::array<QWidget*, 4> areas_{};
  std::array<QLineEdit*, 3> boxes_{};
  std::array<int, 3> marker_{kDefaultMarker, kDefaultMarker, kDefaultMarker};
  std::array<int, 3> colour_{97, 97, 97};  // red, green, blue
  int activeBar_ = kNoBar;
  int brushIndex_ = kDefaultBrush;
  PaintBrush brush_;
};

}  // namespace tovala
