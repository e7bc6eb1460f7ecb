#pragma once
// The window's side of the objects panel: installing it, applying what it asks for, and the
// canvas picks it starts.

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

}  // namespace tovala
