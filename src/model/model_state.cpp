#include "model/model_state.h"

namespace tovala {

namespace {
// The fields Document and ModelState share by name, copied either way: one list for both
// directions, so a field cannot be taken without being given back.
template <class To, class From>
void copyShared(To& to, const From& from) {
  to.imageWidth = from.imageWidth;
  to.imageHeight = from.imageHeight;
  to.backColor = from.backColor;
  to.penColor = from.penColor;
  to.defSpMin = from.defSpMin;
  to.defSpMax = from.defSpMax;
  to.defSpDspX = from.defSpDspX;
  to.defSpDspY = from.defSpDspY;
  to.defBrush = from.defBrush;
  // Assigning into a slot's vectors reuses their memory from the state it held before.
  to.lines = from.lines;
  to.imageKeys = from.imageKeys;
  to.texts = from.texts;
  to.lineOrder = from.lineOrder;
  to.objects = from.objects;
  to.scratchObject = from.scratchObject;
  to.objectBackup = from.objectBackup;
  to.curObject = from.curObject;
  to.objectView = from.objectView;
  to.frontToBack = from.frontToBack;
  to.skinColor = from.skinColor;
  to.modelScale = from.modelScale;
  to.faceRef = from.faceRef;
  to.perLine = from.perLine;
  to.showUnderlay = from.showUnderlay;
  to.markSize = from.markSize;
  to.curLine = from.curLine;
  to.curPoint = from.curPoint;
}
}  // namespace

void ModelStateCapture::capture(const Document& doc, ModelState& out) {
  out.present = true;
  copyShared(out, doc);
  if (!lastImages_ || !(*lastImages_ == doc.userImages))
    lastImages_ = std::make_shared<const ImageStore>(doc.userImages);
  out.userImages = lastImages_;
  out.whole = {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ};
}

RestoreResult restoreModelState(Document& doc, const ModelState& s) {
  RestoreResult result;
  if (!s.present) return result;
  result.canvasChanged = doc.imageWidth != s.imageWidth || doc.imageHeight != s.imageHeight ||
                         doc.backColor != s.backColor;
  result.lineCountChange = int(s.lines.size()) - doc.lineCount();
  copyShared(doc, s);
  if (s.userImages && !(*s.userImages == doc.userImages)) doc.userImages = *s.userImages;
  doc.VextX = s.whole[0], doc.VextY = s.whole[1], doc.VextZ = s.whole[2];
  doc.RadX = s.whole[3], doc.RadY = s.whole[4], doc.RadZ = s.whole[5];
  return result;
}

}  // namespace tovala
