#include "shell/panels/body_shape/body_shape_commands.h"

#include "platform/ui.h"
#include "qtplatform/qt_ui.h"
#include "script/body_model.h"
#include "shell/document_session.h"
#include "shell/main_window.h"
#include "shell/panels/body_shape/body_shape_dialog.h"
#include "shell/panels/body_shape/body_shape_keeper.h"

namespace tovala {

namespace {

BodyShapeAsker& asker() {
  static BodyShapeAsker a;
  return a;
}

std::optional<BodyShape> ask(TMyWindow& w, const BodyShape& initial, const char* title) {
  if (asker()) return asker()(initial);
  if (dynamic_cast<QtUi*>(&w.ui())) return askBodyShape(&w, initial, title);
  return initial;
}

}  // namespace

void setBodyShapeAsker(BodyShapeAsker a) { asker() = std::move(a); }

std::optional<BodyShape> askNewBodyShape(TMyWindow& w) {
  const auto& known = BodyShapeKeeper::of(w.session()).shape();
  return ask(w, known.value_or(BodyShape{}), "体型");
}

void keepBodyShape(TMyWindow& w, const BodyShape& shape) {
  BodyShapeKeeper::of(w.session()).setShape(shape);
}

// 体型変更: the figure keeps its pose, its animation's keys (they name joints by number), its
// styles and the lines added to it; its undo step holds the whole change.
void changeBodyShapeCommand(TMyWindow& w) {
  DocumentSession& session = w.session();
  if (!isBodyModelFigure(session.doc())) {
    w.ui().message(kNotABodyModel, "体型変更");
    return;
  }
  BodyShapeKeeper& keeper = BodyShapeKeeper::of(session);
  const auto shape = ask(w, keeper.shape().value_or(BodyShape{}), "体型変更");
  if (!shape) return;
  const bool done = session.edit(
      "OnBodyShape", [&](Document& d) { return reshapeBodyModel(d, *shape) == 1; }, Redraw::All);
  if (done) keeper.setShape(*shape);
}

CommandState bodyShapeRule(TMyWindow& w) {
  CommandState s;
  s.enabled = isBodyModelFigure(w.session().doc());
  if (!s.enabled) s.reason = kNotABodyModel;
  return s;
}

}  // namespace tovala
