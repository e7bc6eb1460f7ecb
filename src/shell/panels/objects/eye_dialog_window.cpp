// The window's side of the eye editor: opening it from the objects panel and applying what it
// asks for. Changes of the current eye keep the panel's backup ("戻す"); adding or deleting an
// eye object changes the list and takes one undo snapshot each.

#include <vector>

#include "engine/objects.h"
#include "model/messages.h"
#include "platform/ui.h"
#include "shell/main_window.h"
#include "shell/panels/objects/eye_dialog.h"
#include "shell/panels/objects/eye_geometry.h"
#include "shell/panels/objects/objects_panel.h"
#include "shell/panels/objects/objects_panel_window.h"

namespace tovala {

namespace {

constexpr const char* kBadEyeLine = "目の線が正しくありません。";
constexpr const char* kKeepFirstEye = "ここは消せません。";

// The list index of the eye in combo row `row`, or -1.
int eyeAtRow(const Document& d, int row) {
  const std::vector<int> rows = eyeObjectRows(d);
  return row >= 0 && row < int(rows.size()) ? rows[size_t(row)] : -1;
}

// "新規作成": the current eye joins the list as a new object under a number of its own.
void newEye(TMyWindow& w) {
  Document& d = w.doc();
  if (!isEyeObject(d.scratchObject)) return;
  w.session().edit("OnEyeNew", [](Document& doc) {
    ObjectRecord added = doc.scratchObject;
    added.header[kObjectNumber] = -1;
    const int at = addObject(doc, added);
    doc.scratchObject.header[kObjectNumber] = doc.objects[size_t(at)].header[kObjectNumber];
    doc.curObject = at;
  }, Redraw::None);
}

// "削除": the eye chosen in the combo leaves the list; the first eye stays.
void deleteEye(TMyWindow& w, int row) {
  Document& d = w.doc();
  if (row == 0) {
    w.ui().message(kKeepFirstEye, "");
    return;
  }
  const int index = eyeAtRow(d, row);
  if (index < 0) return;
  w.session().edit("OnEyeDel", [index](Document& doc) { return deleteObject(doc, index) == 1; },
                   Redraw::None);
}

void applyEyeRequest(TMyWindow& w, EyeEditorDialog& dialog) {
  Document& d = w.doc();
  switch (dialog.action) {
    case EyeEditorDialog::kChooseEye: {
      const int index = eyeAtRow(d, dialog.chosenRow());
      if (index >= 0 && index != d.curObject) selectObject(d, index);
      break;
    }
    case EyeEditorDialog::kNewEye: newEye(w); break;
    case EyeEditorDialog::kDeleteEye: deleteEye(w, dialog.chosenRow()); break;
    case EyeEditorDialog::kDragDone:
      changeCurrentObject(d, [&](ObjectRecord& o) {
        if (!isEyeObject(o) || !isEyeObject(dialog.dragResult)) return false;
        o = dialog.dragResult;
        return true;
      });
      break;
    case EyeEditorDialog::kColour:
      changeCurrentObject(d, [&](ObjectRecord& o) {
        return setEyeEditColour(o, dialog.red(), dialog.green(), dialog.blue());
      });
      break;
    default: return;
  }
}

}  // namespace

void openEyeEditor(TMyWindow& w, ObjectsPanel& panel) {
  Document& d = w.doc();
  if (!isEyeObject(d.scratchObject)) return;
  if (!validEyeLine(d, d.scratchObject)) {
    w.ui().message(kBadEyeLine, msg::kCaptionMessage);
    return;
  }
  // One editor, kept with the panel: it follows the current object while it is open.
  auto* dialog = panel.findChild<EyeEditorDialog*>();
  if (!dialog) {
    dialog = new EyeEditorDialog(d, &panel);
    dialog->onRequest = [&w, &panel](EyeEditorDialog& dl) {
      applyEyeRequest(w, dl);
      panel.refresh();  // refreshes the editor as well
      if (w.doc().objectView == 1) w.rebuild();
      w.compose();
    };
  }
  dialog->refresh();
  dialog->show();
  dialog->raise();
}

}  // namespace tovala
