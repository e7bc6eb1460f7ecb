#include "shell/core_calls.h"

#include "engine/lines_points.h"
#include "model/parts_file.h"
#include "model/project_file.h"
#include "qtplatform/qt_text_painter.h"
#include "render/frame.h"
#include "shell/main_window.h"

namespace tovala {

namespace {

// An undo step reads a whole snapshot file, which, like any project read, puts the editing mode
// and the selection back to their defaults; the step keeps the ones in force.
bool loadSnapshot(Document& d, const std::string& path) {
  const EditState keep = d.edit;
  const int line = d.curLine;
  const int point = d.curPoint;
  if (!loadProject(d, path, false)) return false;
  d.edit.mode = keep.mode;
  d.edit.subMode = keep.subMode;
  d.curLine = line;
  d.curPoint = point;
  return true;
}

}  // namespace

CoreCalls& core() {
  static CoreCalls calls;
  return calls;
}

void installCoreCalls(TMyWindow& window) {
  CoreCalls& c = core();
  c.rebuildLayers = rebuildLayers;
  c.refreshSelected = refreshSelected;
  c.buildDisplay = buildDisplay;
  static QtTextPainter textPainter;
  window.doc().textPainter = &textPainter;
  c.openProject = [](Document& d, const std::string& p) { return loadProject(d, p, true); };
  c.saveProject = [](const Document& d, const std::string& p) { return saveProject(d, p, true); };
  c.loadParts = [](Document& d, const std::string& p) { return loadParts(d, p, true); };
  c.saveParts = [](const Document& d, const std::string& p) { return saveParts(d, p, true); };

  UndoOps ops;
  ops.saveFile = [](const Document& d, const std::string& p) { return saveProject(d, p, false); };
  ops.loadFile = loadSnapshot;
  window.undoRing().setOps(std::move(ops));
}

}  // namespace tovala
