// The main window's side of the joint panel: its answer to message 0x405 (commit on OK behind
// one undo step, start of the two canvas interactions) and those interactions as temporary
// modes: 10 chooses the co-rotating points by a rectangle, 11 drags the hit guide's handles.

#include "engine/atari_edit.h"
#include "engine/motion_drag.h"
#include "engine/point_math.h"
#include "platform/ui.h"
#include "shell/main_window.h"
#include "shell/modes/mode_handler.h"
#include "shell/panels/joint/joint_panel.h"

namespace tovala {

namespace {

constexpr int kCoRotationTempMode = 10;
constexpr int kHitEditTempMode = 11;
constexpr const char* kSnapshotReason = "OnTovDousenDlg";
constexpr unsigned kGuideColour = 0x0000FF;  // red, as the point marks

void clearPointFlags(Document& d) {
  for (LineRecord& l : d.lines)
    for (PointRecord& p : l.points) p.sel = 0;
}

// Flags the points the working list names as co-rotating; stops with a message at the first
// entry that names no point.
void markCoRotating(TMyWindow& w, const ParamList& list) {
  Document& d = w.doc();
  for (const ParamEntry& e : list) {
    if (e.key != kCoRotationKey) continue;
    const int line = refLine(e.asInt()), point = refPoint(e.asInt());
    if (!d.isValidLine(line)) {
      w.ui().message(kCoRotationBadLine, kCoRotationCaption);
      return;
    }
    if (point < 0 || point >= d.pointCount(line) - 1) {
      w.ui().message(kCoRotationBadPoint, kCoRotationCaption);
      return;
    }
    d.lines[size_t(line)].points[size_t(point)].sel = 1;
  }
}

void onJointMessage(TMyWindow& w, JointPanel& panel) {
  Document& d = w.doc();
  switch (panel.action) {
    case JointPanel::kCoRotationSelect:
      clearPointFlags(d);
      d.edit.tempMode = kCoRotationTempMode;
      markCoRotating(w, panel.work().list);
      w.rebuild();
      w.compose();
      return;
    case JointPanel::kHitEditing:
      d.edit.tempMode = kHitEditTempMode;
      w.compose();
      return;
    case JointPanel::kConfirm:
      d.edit.tempMode = 0;
      if (d.isValidPick(d.curLine, d.curPoint) == 1) {
        w.session().edit(kSnapshotReason, [&panel](Document& doc) {
          PointRecord& p = doc.lines[size_t(doc.curLine)].points[size_t(doc.curPoint)];
          p.params = panel.work().list;
          p.paramChanged = 1;
        }, Redraw::None);
      } else {
        w.compose();
      }
      return;
    default:  // closed without committing
      d.edit.tempMode = 0;
      w.compose();
      return;
  }
}

// The next rectangle toggles the points of joint lines inside it; they become the working
// list's co-rotating points and the interaction ends.
class CoRotationTempMode : public TempModeHandler {
 public:
  explicit CoRotationTempMode(JointPanel& panel) : panel_(panel) {}

  void release(TMyWindow& w, CanvasPoint release, CanvasPoint press) override {
    Document& d = w.doc();
    toggleSelectionInRect(d, press.x, press.y, release.x, release.y, -1, 4);
    replaceJointRange(d, kCoRotationKey, panel_.work());
    panel_.showLists();
    d.edit.tempMode = 0;
  }

  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    paintAllPointMarks(w, out);
    if (w.mouse().leftDown) out.rect(w.mouse().press, w.mouse().current);
  }

 private:
  JointPanel& panel_;
};

// A press picks the handle of block 1's guide under the mouse; dragging it left and right
// changes that handle's length for the panel's view. Only the panel's working list changes.
class HitEditTempMode : public TempModeHandler {
 public:
  explicit HitEditTempMode(JointPanel& panel) : panel_(panel) {}

  void press(TMyWindow& w, CanvasPoint p) override {
    const Document& d = w.doc();
    JointWork& work = panel_.work();
    const int group = pickHitHandle(d, d.curLine, d.curPoint, work.block1(), p.x, p.y);
    drag_ = beginHitDrag(work.block1(), group, HitView(work.hitView), p.x);
  }

  void move(TMyWindow&, CanvasPoint current, CanvasPoint) override {
    JointWork& work = panel_.work();
    if (dragHitHandle(drag_, current.x, work.block1(), work.list)) panel_.showLists();
  }

  void release(TMyWindow&, CanvasPoint, CanvasPoint) override { drag_ = HitHandleDrag{}; }

  // The guide being edited: its eight handles and the bone they stand around.
  void paintOverlay(TMyWindow& w, OverlayPainter& out) override {
    const Document& d = w.doc();
    HitGuide guide;
    if (!computeHitGuide(d, d.curLine, d.curPoint, panel_.work().block1(), guide)) return;
    const LineRecord& l = d.lines[size_t(d.curLine)];
    auto shown = [&l](const DVec3& a) {
      return CanvasPoint{int(l.vx + l.w * a.x), int(l.vy + l.h * a.y)};
    };
    for (int k = 0; k < kHitAnchorCount; k += 2)
      out.line(shown(guide.anchors[size_t(k)]), shown(guide.anchors[size_t(k + 1)]));
    for (const DVec3& a : guide.anchors) {
      const CanvasPoint s = shown(a);
      out.mark(float(s.x), float(s.y), d.markSize, kGuideColour, false);
    }
  }

 private:
  JointPanel& panel_;
  HitHandleDrag drag_;
};

}  // namespace

void installJointPanel(TMyWindow& w) {
  auto* panel = new JointPanel(w.doc(), w.ui(), &w);
  w.setPanelHandler(PanelMessage::Joint,
                    [&w](Panel& p) { onJointMessage(w, static_cast<JointPanel&>(p)); });
  w.tempModes().add(kCoRotationTempMode, std::make_unique<CoRotationTempMode>(*panel));
  w.tempModes().add(kHitEditTempMode, std::make_unique<HitEditTempMode>(*panel));
  w.installPanel(panel, false);
}

}  // namespace tovala
