// "描画", the whole figure: moving all or the flagged points, range selection, the reference
// pose, scaling, the point display and the object view.

#include <cstdio>

#include "engine/reference.h"
#include "shell/command_rules.h"
#include "shell/model_scale.h"
#include "shell/panels/dialogs/text_input_dialog.h"

namespace tovala {

namespace {

constexpr const char* kScaledRefusal = "拡大または縮小しているときは行えません。";
constexpr const char* kAllReferenceQuestion = "現在の状態を基準にしますか?";

bool unscaled(TMyWindow& w) { return w.doc().modelScale == 1.0f; }

void rangeSelect(TMyWindow& w) {
  if (w.motion()) return;
  w.doc().edit.tempMode = 22;
  w.compose();
}

void setLineReference(TMyWindow& w) {
  if (!unscaled(w)) {
    w.ui().message(kScaledRefusal, "");
    return;
  }
  Document& d = w.doc();
  char text[128];
  std::snprintf(text, sizeof text, "線:%dの基準を現在の位置で置き換えます。よろしいですか?",
                d.curLine);
  if (w.ui().ask(text, "確認", Buttons::YesNo) != Answer::Yes) return;
  if (!w.lineSelected()) return;
  w.session().edit("OnTovSetBase", [](Document& doc) { setReference(doc, doc.curLine, doc.curLine); });
}

void setAllReferences(TMyWindow& w) {
  if (!unscaled(w)) {
    w.ui().message(kScaledRefusal, "");
    return;
  }
  if (w.ui().ask(kAllReferenceQuestion, "確認", Buttons::YesNo) != Answer::Yes) return;
  w.session().edit("OnTovSetBaseAll", [](Document& d) { setReference(d, 0, -1); }, Redraw::All);
}

void toggleObjectView(TMyWindow& w) {
  Document& d = w.doc();
  d.objectView = d.objectView == 0 ? 1 : 0;
  w.rebuild();
  w.compose();
  w.refreshPanel(PanelId::Objects);
}

}  // namespace

void addDrawFigureCommands(CommandTable& t) {
  t.set({40059, "OnTovMoveall", [](TMyWindow& w) { w.setMode(kModeMoveAll, "OnTovMoveall"); },
         linesNotMotion});
  t.set({40068, "OnTovMoveselpoint",
         [](TMyWindow& w) { w.setMode(kModeMovePoints, "OnTovMoveselpoint"); }, linesNotMotion});
  t.set({40069, "", rangeSelect, linesNotMotion});
  t.set({40035, "", textInputCommand, [](TMyWindow& w) {
           return enabledIf(w.lineSelected() && w.doc().lines[size_t(w.doc().curLine)].kind == 3);
         }});
  t.set({40025, "", setLineReference, nullptr});
  t.set({40026, "", setAllReferences, nullptr});
  t.set({40066, "", originCommand, linesNotMotion});
  t.set({40046, "", nullptr, nullptr});  // initial pose
  t.set({40054, "", scaleBackCommand, linesNotMotion});
  t.set({40058, "", enlargeCommand, linesNotMotion});
  t.set({40055, "", scaleByInputCommand, linesNotMotion});
  t.set({40060, "", pointStyleCommand, linesNotMotion});
  t.set({40064, "", toggleObjectView,
         [](TMyWindow& w) { return enabledIf(w.hasLines() && w.doc().objectCount() > 1); }});
}

}  // namespace tovala
