// "描画" → "点" and "画像": selecting, adding and deleting points, the point's connection type,
// and the picture of an image line.

#include "engine/lines_points.h"
#include "shell/command_rules.h"
#include "shell/panels/dialogs/image_dialog.h"

namespace tovala {

namespace {

void deletePointCommand(TMyWindow& w) {
  Document& d = w.doc();
  // A line keeps its last real point: nothing happens below two.
  if (!w.lineSelected() || d.pointCount(d.curLine) - 1 < 2) return;
  if (!w.session().edit("OnTovPointDel",
                        [](Document& doc) { return deletePoint(doc, doc.curPoint) != -1; })) {
    w.ui().message(kNoLineSelected, "");
    return;
  }
  w.modeChange(d.edit.mode, "OnTovPointDel");
}

template <int Mode>
void setPointMode(TMyWindow& w) {
  if (!w.pointSelected()) return;
  static constexpr const char* kNames[] = {"OnTovPointSpm0", "OnTovPointSpm1", "OnTovPointSpm2"};
  editSelected(w, kNames[Mode], [](Document& d) {
    d.lines[size_t(d.curLine)].points[size_t(d.curPoint)].mode = Mode;
  });
}

// The image commands share their conditions: not while painting or in motion, with a line.
bool imageCommandAllowed(TMyWindow& w) {
  const int mode = w.doc().edit.mode;
  return mode != kModePaint && mode != kModeMotion && w.lineSelected();
}
CommandState imageRule(TMyWindow& w) {
  const int mode = w.doc().edit.mode;
  return enabledIf(mode != kModePaint && mode != kModeMotion);
}
CommandState dropImageRule(TMyWindow& w) {
  return enabledIf(imageRule(w).enabled && w.lineSelected() &&
                   w.doc().lines[size_t(w.doc().curLine)].kind == 2);
}

void newImage(TMyWindow& w) {
  if (!imageCommandAllowed(w)) return;
  editSelected(w, "OnTovImgNew", [](Document& d) { d.newLineImage(d.curLine); });
}

void loadImage(TMyWindow& w) {
  if (!imageCommandAllowed(w)) return;
  auto path = chooseFile(w, false, filters::kImage, filters::kImageExt, w.paths().image);
  if (!path) return;
  w.paths().image = *path;
  // Read before the step is taken: a file that is no picture leaves the line and the undo ring.
  ImageSlot picture;
  if (!readPictureFile(*path, w.ui(), picture)) return;
  editSelected(w, "OnTovImgLoad",
               [&](Document& d) { d.adoptLineImage(d.curLine, std::move(picture)); });
}

void dropImage(TMyWindow& w) {
  if (!imageCommandAllowed(w)) return;
  editSelected(w, "OnTovImgDel", [](Document& d) { d.dropLineImage(d.curLine); });
}

}  // namespace

void addDrawPointCommands(CommandTable& t) {
  t.set({40006, "OnTovPointSel", [](TMyWindow& w) { w.setMode(kModeSelect, "OnTovPointSel"); },
         nullptr});
  t.set({40007, "OnTovPointAdd", [](TMyWindow& w) { w.setMode(kModeAddPoint, "OnTovPointAdd"); },
         nullptr});
  t.set({40008, "OnTovPointDel", deletePointCommand, nullptr});
  t.set({40011, "OnTovPointSpm0", setPointMode<0>, nullptr});
  t.set({40012, "OnTovPointSpm1", setPointMode<1>, nullptr});
  t.set({40013, "OnTovPointSpm2", setPointMode<2>, nullptr});
  t.set({40017, "OnTovImgNew", newImage, imageRule});
  t.set({40018, "OnTovImgLoad", loadImage, imageRule});
  t.set({40019, "OnTovImgSel", chooseImageCommand, imageRule});
  t.set({40020, "OnTovImgDel", dropImage, dropImageRule});
}

}  // namespace tovala
