#pragma once
// Everything a user edits in a document, held apart from it: lines, images, texts, objects, the
// line order, the whole-figure movement and rotation, the canvas settings and the selection. The
// memory undo ring keeps one of these per step, so a step gives back whatever the action changed,
// however many lines it touched.
//
// Left out on purpose: the work images (drawn from the model again after a step; the underlay is
// loaded, not edited), the editing mode and the press values of a drag (they belong to the mouse,
// not to the figure), the undo kind (switching it empties the ring) and the point display style.
// A field added to Document that the user can change belongs here too.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/document.h"

namespace tovala {

struct ModelState {
  bool present = false;

  int32_t imageWidth = kDefaultImageWidth;
  int32_t imageHeight = kDefaultImageHeight;
  uint32_t backColor = kDefaultBackColor;
  uint32_t penColor = 0;
  int32_t defSpMin = 20, defSpMax = 40;
  double defSpDspX = 0.3, defSpDspY = 0.3;
  std::array<float, 4> defBrush{};

  std::vector<LineRecord> lines;
  // Pictures rarely change between two steps and may be large: a state shares the store of the
  // state before it while they are equal (see ModelStateCapture).
  std::shared_ptr<const ImageStore> userImages;
  std::vector<int32_t> imageKeys;
  std::vector<TextRecord> texts;
  std::vector<int32_t> lineOrder;
  std::vector<ObjectRecord> objects;
  ObjectRecord scratchObject;
  ObjectRecord objectBackup;

  int32_t curObject = 0, objectView = 0, frontToBack = 0;
  uint32_t skinColor = 0;
  float modelScale = 1.0f;
  float faceRef = 300.0f;
  int32_t perLine = 1, showUnderlay = 0, markSize = 4;
  int32_t curLine = 0, curPoint = 0;
  std::array<float, 6> whole{};  // VextX, VextY, VextZ, RadX, RadY, RadZ
};

// What a restore changed beyond the records, for the caller to redraw accordingly.
struct RestoreResult {
  bool canvasChanged = false;  // size or background colour: the work images must be rebuilt
  int lineCountChange = 0;
};

// Takes states one after another and lets equal picture stores be shared between them.
class ModelStateCapture {
 public:
  void capture(const Document& doc, ModelState& out);
  void forget() { lastImages_.reset(); }

 private:
  std::shared_ptr<const ImageStore> lastImages_;
};

RestoreResult restoreModelState(Document& doc, const ModelState& state);

}  // namespace tovala
