#pragma once
// The onion skin: the poses of the keys before and after the current frame drawn faintly over
// the canvas, the one before in red, the one after in blue. Each pose is drawn on a copy of the
// document, so the document itself is not touched.

#include <QImage>

namespace tovala {

class Document;
struct Pose;

// A canvas-sized picture, transparent where neither pose draws anything; null when both poses
// are null or the document has no model picture.
QImage drawOnionSkin(const Document& doc, const Pose* before, const Pose* after);

}  // namespace tovala
