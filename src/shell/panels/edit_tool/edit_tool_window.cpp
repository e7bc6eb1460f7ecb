// The main window's answer to the edit tool: "編集" starts the chosen item's interaction, "決定"
// ends it and stores the result behind one undo step, "取消" ends it storing nothing.

#include <QObject>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "engine/face_parts.h"
#include "platform/ui.h"
#include "shell/main_window.h"
#include "shell/modes/red_line_temp_mode.h"
#include "shell/panels/edit_tool/edit_tool.h"
#include "shell/panels/edit_tool/edit_tool_store.h"
#include "shell/panels/edit_tool/edit_tool_window.h"
#include "shell/panels/dialogs/input_dialogs.h"
#include "shell/panels/joint/joint_panel.h"

namespace tovala {

namespace {

constexpr int kPointDisplayCommand = 40060;
constexpr int kProgramDialogCommand = 40028;
constexpr uint32_t kBlockNumberItem = 0x03010000;
constexpr uint32_t kDrawMethodItem = 0x03020000;
constexpr uint32_t kProgramDialogItem = 0x06010000;
constexpr uint32_t kHitShapeItems = 0x02020600;  // あたり: 正面, 横, 上

// What the window keeps while an edit is open; lives as long as the window.
class EditSession : public QObject {
 public:
  explicit EditSession(TMyWindow& w) : QObject(&w), w_(w) {}

  int hitBlock = 1;  // the connecting-line block the CLine items work on
  int item = -1;     // the item whose edit is open
  float value = 0;
  EditToolPanel* panel = nullptr;

  void onMessage(EditToolPanel& p);
  void start(int chosen);
  void decide(bool apply);

 private:
  void store();
  void startTyped(int type);
  void startRedLine(int32_t key);

  TMyWindow& w_;
};

// A number as the input dialog's answer: the whole text must read as one.
std::optional<float> readNumber(const std::string& text) {
  size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
  if (b == std::string::npos) return std::nullopt;
  float v = 0;
  const char* first = text.data() + b;
  const char* last = text.data() + e + 1;
  if (*first == '+') ++first;
  const auto r = std::from_chars(first, last, v);
  if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
  return v;
}

std::string formatValue(float v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%f", double(v));
  return buf;
}

void EditSession::onMessage(EditToolPanel& p) {
  switch (p.action) {
    case EditToolPanel::kEdit: start(p.chosenItem()); break;
    case EditToolPanel::kDecide: decide(true); break;
    case EditToolPanel::kCancel: decide(false); break;
    case EditToolPanel::kPointDisplay: w_.runCommand(kPointDisplayCommand); break;
    default: break;  // a list choice or closing: nothing to do
  }
}

void EditSession::start(int chosen) {
  if (w_.editBusy) return;
  Document& d = w_.doc();
  w_.picks().phase = 0;
  d.edit.tempMode = 0;
  if (chosen < 0 || !editItemSupported(editItems()[size_t(chosen)])) {
    w_.editBusy = 0;
    return;
  }
  item = chosen;
  w_.editBusy = 1;
  // Without a selected point the edit stays open, doing nothing, until it is ended.
  if (!w_.pointSelected()) return;
  startTyped(editItems()[size_t(chosen)].type);
}

void EditSession::startTyped(int type) {
  Document& d = w_.doc();
  const uint32_t code = editItems()[size_t(item)].code;
  switch (type) {
    case 1: {
      const auto answer = askInput(panel, "", formatValue(editPrefill(d, code, hitBlock)));
      const auto number = answer ? readNumber(*answer) : std::nullopt;
      if (!number) {  // cancelled, or not a number: nothing is stored
        w_.editBusy = 0;
        return;
      }
      value = *number;
      decide(true);
      return;
    }
    case 2:
    case 21: decide(true); return;
    case 11: {
      // The guide is shaped with the joint panel's editor, on its working copy of the point.
      auto* joint = dynamic_cast<JointPanel*>(w_.panel(PanelId::Joint));
      if (!joint) {
        w_.editBusy = 0;
        return;
      }
      joint->refresh();
      joint->work().hitView = viewOfItem(int(code & 0xFF));  // the hit views share the order
      joint->showWork();
      d.edit.tempMode = type;
      w_.compose();
      return;
    }
    case 12:
    case 13:
    case 14:
    case 15:
      w_.picks().first = {-1, -1, -1, -1};
      d.edit.tempMode = type;
      w_.compose();
      return;
    case 19:
      w_.picks().first = {-1, -1, -1, -1};
      w_.picks().second = {-1, -1, -1, -1};
      w_.picks().phase = 0;
      d.edit.tempMode = type;
      w_.compose();
      return;
    case kEditCorrection: {
      // The number of the correction set first; the red line then works as for the side view.
      const auto answer = askInput(panel, "", formatValue(editPrefill(d, code, hitBlock)));
      const auto number = answer ? readNumber(*answer) : std::nullopt;
      const bool named = number && *number >= 1 && *number < float(kFaceCorrectionSets + 1);
      if (!named) {  // cancelled, unreadable, or naming no set: nothing is started
        if (number) w_.ui().message(kNoCorrectionSet, "編集ツール");
        w_.editBusy = 0;
        return;
      }
      w_.picks().first[2] = int(*number);
      startRedLine(faceCorrectionKey(w_.picks().first[2]));
      return;
    }
    case kEditSideView: startRedLine(kFaceSideKey); return;
    case 16:
      if (w_.ui().ask(kConfirmEdit, "確認", Buttons::YesNo) != Answer::Yes) {
        w_.editBusy = 0;
        return;
      }
      decide(true);
      return;
    default: return;  // type 0: the ordinary editing goes on
  }
}

// Temporary mode 17 on a copy of the selected line, shifted by the offsets it keeps under
// `key` (none when 0), so an edit goes on from what was stored.
void EditSession::startRedLine(int32_t key) {
  RedLine* red = redLineOf(w_);
  if (!red) {
    w_.editBusy = 0;
    return;
  }
  Document& d = w_.doc();
  red->line = redLineCopy(d.lines[size_t(d.curLine)]);
  red->held = -1;
  if (key != 0) applyFaceOffsets(red->line, key);
  d.edit.tempMode = kRedLineTempMode;
  w_.compose();
}

void EditSession::decide(bool apply) {
  if (!w_.editBusy) return;
  w_.doc().edit.tempMode = 0;
  w_.editBusy = 0;
  w_.picks().phase = 0;
  // The item whose interaction ran is stored, whatever the lists show by now.
  if (item >= 0 && apply) store();
  w_.compose();
}

void EditSession::store() {
  Document& d = w_.doc();
  const uint32_t code = editItems()[size_t(item)].code;
  if (d.isValidPick(d.curLine, d.curPoint) != 1) return;
  EditInput in;
  in.value = value;
  in.pick = w_.picks().first;
  if (const RedLine* red = redLineOf(w_)) in.shape = &red->line;
  if (code == kBlockNumberItem) {
    std::vector<std::string> numbers;
    for (int i = 1; i <= 9; ++i) numbers.push_back(std::to_string(i));
    if (const auto chosen = askSelection(panel, "", numbers)) hitBlock = *chosen + 1;
    if (panel) panel->refresh();
    return;
  }
  if (code == kDrawMethodItem) {
    const auto chosen = askSelection(panel, "", {"あたりで描く", "円形"});
    if (!chosen) return;
    in.choice = *chosen;
  }
  if ((code & 0xFFFFFF00u) == kHitShapeItems) {
    auto* joint = dynamic_cast<JointPanel*>(w_.panel(PanelId::Joint));
    if (!joint) return;
    in.guide = &joint->work().block1();
  }
  if (isConnectionItem(code)) {
    in.end = w_.picks().second;
    const std::vector<std::string> rows = connectionChoices(d, isConnectionTarget(code));
    if (rows.empty()) return;
    const auto chosen = askSelection(panel, "", rows);
    if (!chosen) return;
    in.choice = *chosen;
  }
  if (code == kProgramDialogItem) {
    w_.runCommand(kProgramDialogCommand);
    return;
  }
  if (!editWouldStore(d, code, in, hitBlock)) return;
  w_.session().edit(kEditToolUndoLabel,
                    [&](Document& doc) { storeEditItem(doc, code, in, hitBlock); }, Redraw::All);
}

}  // namespace

void installEditTool(TMyWindow& w) {
  auto* session = new EditSession(w);
  auto* panel = new EditToolPanel(w.doc(), session->hitBlock, &w);
  session->panel = panel;
  w.setPanelHandler(PanelMessage::EditTool,
                    [session](Panel& p) { session->onMessage(static_cast<EditToolPanel&>(p)); });
  w.tempModes().add(12, makePointPickTempMode());
  w.tempModes().add(13, makeAxisPickTempMode());
  w.tempModes().add(14, makeCoRotationTempMode());
  w.tempModes().add(15, makeHitPointTempMode());
  w.tempModes().add(19, makeTwoPointTempMode());
  w.tempModes().add(kRedLineTempMode, makeRedLineTempMode());
  w.installPanel(panel, false);
}

}  // namespace tovala
