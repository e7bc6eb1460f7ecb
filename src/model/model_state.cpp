#include "model/model_state.h"

namespace tovala {

namespace {
constexpr size_t kWholeValues = 6;

std::array<float*, kWholeValues> wholeOf(Document& d) {
  return {&d.VextX, &d.VextY, &d.VextZ, &d.RadX, &d.RadY, &d.RadZ};
}
}  // namespace

void ModelStateCapture::capture(const Document& doc, ModelState& out) {
  out.present = true;
  out.imageWidth = doc.imageWidth;
  out.imageHeight = doc.imageHeight;
  out.backColor = doc.backColor;
  out.penColor = doc.penColor;
  out.defSpMin = doc.defSpMin;
  out.defSpMax = doc.defSpMax;
  out.defSpDspX = doc.defSpDspX;
  out.defSpDspY = doc.defSpDspY;
  out.defBrush = doc.defBrush;

  // Assigning into the slot's vectors reuses their memory from the state it held before.
  out.lines = doc.lines;
  if (!lastImages_ || !(*lastImages_ == doc.userImages))
    lastImages_ = std::make_shared<const ImageStore>(doc.userImages);
  out.userImages = lastImages_;
  out.imageKeys = doc.imageKeys;
  out.texts = doc.texts;
  out.lineOrder = doc.lineOrder;
  out.objects = doc.objects;
  out.scratchObject = doc.scratchObject;
  out.objectBackup = doc.objectBackup;

  out.curObject = doc.curObject;
  out.objectView = doc.objectView;
  out.frontToBack = doc.frontToBack;
  out.skinColor = doc.skinColor;
  out.modelScale = doc.modelScale;
  out.faceRef = doc.faceRef;
  out.perLine = doc.perLine;
  out.showUnderlay = doc.showUnderlay;
  out.markSize = doc.markSize;
  out.curLine = doc.curLine;
  out.curPoint = doc.curPoint;
  out.whole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
}

RestoreResult restoreModelState(Document& doc, const ModelState& s) {
  RestoreResult result;
  if (!s.present) return result;
  result.canvasChanged = doc.imageWidth != s.imageWidth || doc.imageHeight != s.imageHeight ||
                         doc.backColor != s.backColor;
  result.lineCountChange = int(s.lines.size()) - doc.lineCount();

  doc.imageWidth = s.imageWidth;
  doc.imageHeight = s.imageHeight;
  doc.backColor = s.backColor;
  doc.penColor = s.penColor;
  doc.defSpMin = s.defSpMin;
  doc.defSpMax = s.defSpMax;
  doc.defSpDspX = s.defSpDspX;
  doc.defSpDspY = s.defSpDspY;
  doc.defBrush = s.defBrush;

  doc.lines = s.lines;
  if (s.userImages && !(*s.userImages == doc.userImages)) doc.userImages = *s.userImages;
  doc.imageKeys = s.imageKeys;
  doc.texts = s.texts;
  doc.lineOrder = s.lineOrder;
  doc.objects = s.objects;
  doc.scratchObject = s.scratchObject;
  doc.objectBackup = s.objectBackup;

  doc.curObject = s.curObject;
  doc.objectView = s.objectView;
  doc.frontToBack = s.frontToBack;
  doc.skinColor = s.skinColor;
  doc.modelScale = s.modelScale;
  doc.faceRef = s.faceRef;
  doc.perLine = s.perLine;
  doc.showUnderlay = s.showUnderlay;
  doc.markSize = s.markSize;
  doc.curLine = s.curLine;
  doc.curPoint = s.curPoint;
  const auto whole = wholeOf(doc);
  for (size_t i = 0; i < kWholeValues; ++i) *whole[i] = s.whole[i];
  return result;
}

}  // namespace tovala
