#include "shell/model_scale.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/point_math.h"
#include "engine/reference.h"
#include "shell/main_window.h"
#include "shell/panels/dialogs/input_dialogs.h"

namespace tovala {

namespace {
constexpr int kPointStyles = 7;

bool scaleAllowed(TMyWindow& w) { return !w.motion() && w.hasLines(); }
}  // namespace

float nextEnlargement(float scale) {
  if (scale < 2.0f) return 2.0f;
  if (scale < 4.0f) return 4.0f;
  return 1.0f;
}

bool acceptableScale(float scale) { return scale >= kMinModelScale && scale <= kMaxModelScale; }

float parseScale(std::string_view text) {
  const std::string s(text);
  return float(std::strtod(s.c_str(), nullptr));
}

int nextPointStyle(int style) { return style >= 0 && style < kPointStyles - 1 ? style + 1 : 0; }

namespace {
void applyModelScale(Document& d, float scale) {
  const float factor = float(double(scale) / usableScale(d.modelScale));
  d.VextX *= factor;
  d.VextY *= factor;
  d.VextZ *= factor;
  setModelScale(d, scale);
}

// Back to scale 1 and the first point at its reference; whether anything moved.
bool toOrigin(Document& d) {
  const bool scaled = d.modelScale != 1.0f;
  if (scaled) applyModelScale(d, 1.0f);
  return moveToOrigin(d) == 1 || scaled;
}
}  // namespace

bool changeModelScale(TMyWindow& w, float scale) {
  // The range is checked before anything moves, so a refused value leaves the figure, the
  // whole-model movement and the undo ring as they were.
  if (!scaleAllowed(w) || !acceptableScale(scale)) return false;
  w.session().edit("OnTovScale", [scale](Document& d) { applyModelScale(d, scale); }, Redraw::All);
  return true;
}

void scaleBackCommand(TMyWindow& w) { changeModelScale(w, 1.0f); }

void scaleByInputCommand(TMyWindow& w) {
  if (!scaleAllowed(w)) return;
  char initial[32];
  std::snprintf(initial, sizeof initial, "%f", 1.0);
  const std::optional<std::string> answer = askInput(&w, "", initial);
  if (answer) changeModelScale(w, parseScale(*answer));
}

void enlargeCommand(TMyWindow& w) { changeModelScale(w, nextEnlargement(w.doc().modelScale)); }

void originCommand(TMyWindow& w) {
  if (!scaleAllowed(w)) return;
  w.session().edit("OnTovOrigin", toOrigin, Redraw::All);
}

void moveFigureToOrigin(TMyWindow& w) {
  if (!scaleAllowed(w)) return;
  if (toOrigin(w.doc())) w.session().changed(Redraw::All);
}

void pointStyleCommand(TMyWindow& w) {
  if (!scaleAllowed(w)) return;
  w.doc().pointStyle = nextPointStyle(w.doc().pointStyle);
  w.compose();
}

}  // namespace tovala
