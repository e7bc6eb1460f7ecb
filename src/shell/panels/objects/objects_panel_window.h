#pragma once
// The window's side of the objects panel: installing it, applying what it asks for, and the
// canvas picks it starts.

#include <cstdint>
#include <functional>
#include <optional>

#include "engine/objects.h"
#include "model/document.h"

class QWidget;

namespace tovala {

class ObjectsPanel;
class TMyWindow;
struct CanvasPoint;

void installObjectsPanel(TMyWindow& w);
// The window's answer to the panel's message: reads the panel and changes the document.
void onObjectsMessage(TMyWindow& w, ObjectsPanel& panel);
// A left press while the panel waits for a pick: the press is taken for the pick (true) and
// does nothing else, found or not. False when no pick is waiting.
bool objectsCanvasPick(TMyWindow& w, CanvasPoint p);
// The object view's press: when it moved the selection, the first object built from the newly
// selected line becomes the current object.
void objectsFollowSelection(TMyWindow& w, int previousLine, int previousPoint);

// While a pick waits, the points it has found are marked in green on the display picture.
void drawObjectsPickMarks(TMyWindow& w);

// A change of the current object: the backup for "戻す" is taken only when something changes.
template <class Change>
void changeCurrentObject(Document& d, Change change) {
  ObjectRecord changed = d.scratchObject;
  if (!change(changed) || changed == d.scratchObject) return;
  backupCurrentObject(d);
  d.scratchObject = changed;
}

// The colour chooser of "編集" beside the colour: the chosen 0x00BBGGRR colour, or nothing when
// cancelled. Replaceable so the panel can be driven without a real dialog.
using ColourChooser = std::function<std::optional<uint32_t>(QWidget* parent, uint32_t initial)>;
ColourChooser& objectColourChooser();

// The eye editor "目の編集" for the current object, an eye; refused with a message when its line
// is not a line of the document.
void openEyeEditor(TMyWindow& w, ObjectsPanel& panel);

}  // namespace tovala
