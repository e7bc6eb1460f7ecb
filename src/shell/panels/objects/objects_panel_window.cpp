#include "shell/panels/objects/objects_panel_window.h"

#include <QColorDialog>
#include <optional>
#include <string>
#include <vector>

#include "engine/objects.h"
#include "platform/ui.h"
#include "render/marks.h"
#include "render/pixel_rect.h"
#include "shell/main_window.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/objects/objects_panel.h"

namespace tovala {

namespace {

constexpr int kPointDisplayCommand = 40060;
constexpr int kPanelOffset = 60;

// The list operations ask first; the snapshot taken before the question is withdrawn when the
// answer (or a missing object) leaves the document as it was.
void askedListChange(TMyWindow& w, const char* reason, int (*change)(Document&)) {
  w.session().edit(reason, [change](Document& d) { return change(d) == 1; }, Redraw::None);
}

void search(TMyWindow& w) {
  Document& d = w.doc();
  const std::vector<int> found = searchObjectsByLine(d, w.lineSelected() ? d.curLine : -1);
  if (found.empty()) return;
  std::vector<std::string> names;
  for (int i : found) names.push_back(objectName(d.objects[size_t(i)]));
  const std::optional<int> chosen = askSelection(&w, kDefaultSelectionPrompt, names);
  if (chosen && *chosen >= 0 && *chosen < int(found.size()))
    selectObject(d, found[size_t(*chosen)]);
}

// "目編集": one of the eight eye items of the current eye object (or the first eye object of
// the list, which becomes current), typed in the input box.
void editEye(TMyWindow& w) {
  Document& d = w.doc();
  if (!isEyeObject(d.scratchObject)) {
    const int eye = firstEyeObject(d);
    if (eye < 0) return;
    selectObject(d, eye);
  }
  std::vector<std::string> items;
  for (int i = 0; i < kEyeItemCount; ++i) items.emplace_back(eyeItemLabel(i));
  const std::optional<int> item = askSelection(&w, kDefaultSelectionPrompt, items);
  if (!item || *item < 0 || *item >= kEyeItemCount) return;
  const std::optional<std::string> typed =
      askInput(&w, eyeItemPrompt(*item), eyeItemText(d.scratchObject, *item));
  if (!typed) return;
  changeCurrentObject(d, [&](ObjectRecord& o) { return setEyeItem(o, *item, *typed); });
}

// "編集" beside the colour ("色の置換"): the chooser opens on the current object's colour and
// the chosen one replaces it.
void replaceColour(TMyWindow& w) {
  Document& d = w.doc();
  const uint32_t now = uint32_t(d.scratchObject.header[kObjectColour]) & 0xFFFFFF;
  const std::optional<uint32_t> chosen = objectColourChooser()(&w, now);
  if (!chosen) return;
  changeCurrentObject(d, [&](ObjectRecord& o) { return replaceObjectColour(o, *chosen); });
}

void startPick(TMyWindow& w, ObjectsPanel& panel, int state) {
  w.objectsPickState = state;
  panel.pick = ObjectsPick{};
}

}  // namespace

void onObjectsMessage(TMyWindow& w, ObjectsPanel& panel) {
  Document& d = w.doc();
  ObjectsPick& pick = panel.pick;
  switch (panel.action) {
    case ObjectsPanel::kSelectObject: selectObject(d, panel.chosenRow()); break;
    case ObjectsPanel::kApplyFields:
      changeCurrentObject(d, [&](ObjectRecord& o) { return applyObjectFields(o, panel.fields()); });
      break;
    case 3: askedListChange(w, "OnObjAdd", addCurrentObjectAsked); break;
    case 4: askedListChange(w, "OnObjDel", deleteSelectedObjectAsked); break;
    case 5: askedListChange(w, "OnObjRewrite", rewriteSelectedObjectAsked); break;
    case 6: freshCurrentObject(d); break;
    case 7: search(w); break;
    case 8: restoreCurrentObject(d); break;
    case 9:
      w.session().edit("OnObjReverse",
                       [](Document& doc) { doc.frontToBack = doc.frontToBack == 0 ? 1 : 0; },
                       Redraw::None);
      break;
    case 10: break;  // "再表示": the refresh below
    case 11: editEye(w); break;
    case 1237:  // an eye takes no pieces: "編集" on it opens the eye editor instead
      if (isEyeObject(d.scratchObject))
        openEyeEditor(w, panel);
      else
        startPick(w, panel, kObjectsPickPiece);
      break;
    case 1247: replaceColour(w); break;
    case 1231: startPick(w, panel, kObjectsPickPoint); break;
    case 1241: startPick(w, panel, kObjectsPickUnit); break;
    case 1243: startPick(w, panel, kObjectsPickMirrored); break;
    case 1238:  // the picked piece into the chosen entry
      changeCurrentObject(d, [&](ObjectRecord& o) {
        return addObjectPiece(d, o, panel.entryIndex(), pick.line, pick.first, pick.last) >= 0;
      });
      startPick(w, panel, kObjectsNoPick);
      break;
    case 1239:
      changeCurrentObject(d, [&](ObjectRecord& o) {
        return panel.entryIndex() < objectPieceCount(o) &&
               removeObjectPiece(o, panel.entryIndex()) == 1;
      });
      break;
    case 1240:  // the picked reference point
      changeCurrentObject(d, [&](ObjectRecord& o) {
        if (pick.reference < 0) return false;
        o.header[kObjectReference] = pick.reference;
        return true;
      });
      startPick(w, panel, kObjectsNoPick);
      break;
    case 1242: w.runCommand(kPointDisplayCommand); break;
    case 1245:
      changeCurrentObject(d, [&](ObjectRecord& o) {
        return setFirstValue(o, panel.firstValueIndex(), panel.firstValueInput());
      });
      break;
    case 1246:
      changeCurrentObject(d, [&](ObjectRecord& o) {
        return setSecondValue(o, panel.secondValueIndex(), panel.secondValueInput());
      });
      break;
    default: return;
  }
  panel.refresh();
  // The object view draws from the list and the current object.
  if (d.objectView == 1) w.rebuild();
  w.compose();
}

bool objectsCanvasPick(TMyWindow& w, CanvasPoint p) {
  if (w.objectsPickState <= 0) return false;
  auto* panel = static_cast<ObjectsPanel*>(w.panel(PanelId::Objects));
  if (!panel || !panel->isVisible()) {  // a pick left waiting by a closed panel is dropped
    w.objectsPickState = 0;
    return false;
  }
  if (pickForObjects(w.doc(), w.objectsPickState, p.x, p.y, panel->pick)) panel->showPick();
  return true;
}

void objectsFollowSelection(TMyWindow& w, int previousLine, int previousPoint) {
  Document& d = w.doc();
  if (d.curLine == previousLine && d.curPoint == previousPoint) return;
  const std::vector<int> found = objectsUsingLine(d, d.curLine);
  if (found.empty() || selectObject(d, found.front()) != 1) return;
  w.refreshPanel(PanelId::Objects);
  w.rebuild();
}

void drawObjectsPickMarks(TMyWindow& w) {
  if (w.objectsPickState <= 0 || !w.panelVisible(PanelId::Objects)) return;
  auto* panel = static_cast<ObjectsPanel*>(w.panel(PanelId::Objects));
  Document& d = w.doc();
  ImageSlot* display = d.workImages.image(kDisplayImage);
  if (!display) return;
  for (const PickedPoint& p : pickedPoints(d, panel->pick)) {
    const PointRecord& at = d.lines[size_t(p.line)].points[size_t(p.point)];
    markSquare(*display, toPixel(double(at.vx) - d.edit.viewOrigin.x),
               toPixel(double(at.vy) - d.edit.viewOrigin.y), d.markSize, kMarkGreen, true);
  }
}

ColourChooser& objectColourChooser() {
  static ColourChooser chooser = [](QWidget* parent, uint32_t initial) -> std::optional<uint32_t> {
    const QColor start(int(initial & 0xFF), int((initial >> 8) & 0xFF),
                       int((initial >> 16) & 0xFF));
    const QColor c = QColorDialog::getColor(start, parent);
    if (!c.isValid()) return std::nullopt;
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
  };
  return chooser;
}

void installObjectsPanel(TMyWindow& w) {
  auto* panel = new ObjectsPanel(w.doc(), &w);
  w.setPanelHandler(PanelMessage::Objects,
                    [&w](Panel& p) { onObjectsMessage(w, static_cast<ObjectsPanel&>(p)); });
  panel->move(w.pos() + QPoint(kPanelOffset, kPanelOffset));
  w.installPanel(panel, false);
}

}  // namespace tovala
