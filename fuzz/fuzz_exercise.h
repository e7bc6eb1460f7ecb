#pragma once
// What the file fuzz targets do with every document a reader accepts, as a user's next steps
// would: draw it in line and object view, pose it (the motion preparation, then one drag step)
// and run its line programs. The programs get a small instruction budget, so an input whose
// values make a loop of the renderer, the engine or the machine run long shows up as a slow
// or hanging input instead of hiding behind the budget.

#include <cstdint>

#include "engine/motion_drag.h"
#include "model/document.h"
#include "render/frame.h"
#include "script/line_programs.h"
#include "script/motion_prepare.h"

inline constexpr uint64_t kFuzzInstructionBudget = 20000;

// A document on a small canvas, made once per target: a new Document allocates the full default
// canvas, which would make every input slow.
inline tovala::Document* newSmallDocument(int32_t side) {
  auto* d = new tovala::Document;
  d->imageWidth = d->imageHeight = side;
  d->recreateWorkImages();
  return d;
}

inline void exerciseDocument(tovala::Document& doc) {
  using namespace tovala;
  constexpr int kMotionMode = 5;
  for (int view : {0, 1}) {
    doc.objectView = view;
    rebuildLayers(doc);
    refreshSelected(doc);
    buildDisplay(doc);
  }
  doc.edit.mode = kMotionMode;
  prepareMotion(doc, kFuzzInstructionBudget);
  doc.edit.subMode = kToolWholeRotate;
  motionDrag(doc, 3, -2);
  doc.edit.subMode = kToolPointRotate;
  motionDrag(doc, 5, 4);
  runLinePrograms(doc, 0, 0, kFuzzInstructionBudget);
  refreshSelected(doc);
  buildDisplay(doc);
}
