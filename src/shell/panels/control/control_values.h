#pragma once
// What the control panel shows and edits, as plain fields, and the two transfers between them
// and the document: read back (selection -> fields) and apply (fields -> selection). The panel
// only fills and shows the fields; the main window runs apply when the panel asks it to.

#include <array>
#include <functional>

namespace tovala {

class Document;
class Ui;

// The panel's action codes.
inline constexpr int kControlReadBack = -2;   // show the selection again
inline constexpr int kControlApply = 0;       // apply with an undo snapshot
inline constexpr int kControlPerLine = 1000;  // "個別線" clicked, or defaults edited

// One field per control; the comments give the control ids. Combo fields hold the item index,
// -1 while nothing has been read back.
struct ControlValues {
  // "線"
  int lineNumber = 0;               // 1005 (read-only)
  int kind = -1;                    // 1003 "種別"
  int lineMode = -1;                // 1004 "モード": 0, 1 CLine (100), 2 OLine (101)
  int imageMode = -1;               // 1025 "画像"
  std::array<int, 3> lineColour{};  // 1006-1008 "線の色" R, G, B
  std::array<int, 3> fillColour{};  // 1009-1011 "塗り色" R, G, B
  int lineVariation = -1;           // 1024 "線変化": 0 "通常", 1 "太さ有効"
  // "点"
  int pointNumber = 0;              // 1013 (read-only)
  int pointKind = -1;               // 1012: 0, 1 (1000), 2 (2000)
  int pointType = -1;               // 1014: point mode + 1
  std::array<float, 3> position{};  // 1028-1030 "座標"
  int opacity = 90;                 // 1026 "透明度", 0..100
  // Brush and line shape: the selected line's own or the document's defaults, by perLine.
  std::array<float, 4> brush{};  // 1015 "横", 1016 "縦", 1017 "薄さ", 1018 "勾配"
  int shapeMax = 0;              // 1019 "最大"
  int shapeMin = 0;              // 1020 "最小"
  double shapeDx = 0;            // 1021 "差x"
  double shapeDy = 0;            // 1022 "差y"
  int perLine = 1;               // 1027 "個別線"
};

// How much of the selection a read back found.
enum class ReadBackDepth { Nothing, Line, LineAndPoint };

// Selection -> fields.
ReadBackDepth readBack(const Document& doc, ControlValues& v);

// The corrections every read of the controls makes: colour components into 0..255, and a
// "最小" above "最大" brought down to it.
void normaliseRead(ControlValues& v);

// Fields -> selection. `snapshot`, when given, runs once the selection is known to be valid and
// before anything changes. Messages go to `ui`; the kind field is corrected where the document
// refuses it. Returns whether the selected line was written.
bool applyControlValues(Document& doc, ControlValues& v, Ui& ui,
                        const std::function<void()>& snapshot);

// The "線美" presets, 0 "最高速" .. 4 "透明"; other indices change nothing.
void applyLinePreset(ControlValues& v, int preset);

// Which controls the selected line's kind allows: the fill colour boxes (a filled line), the
// "ペイント" button (an image line with some user image to paint on) and the "文字" button.
struct ControlEnables {
  bool fill = false;
  bool paint = false;
  bool text = false;
};
ControlEnables enablesFor(const Document& doc, int kind);

// Texts the apply shows.
inline constexpr const char* kRunningModeRefusal = "実行モード";
inline constexpr const char* kPaintKeepsImage = "ペイント時は、画像を削除することは出来ません。";
inline constexpr const char* kNoImageToChoose =
    "選択できる画像がありません。「描画」→「画像」より、画像を追加してください。";
inline constexpr const char* kNoImageCaption = "警告!!";

}  // namespace tovala
