// The face data reader must refuse or read any byte string without touching memory outside its
// buffers; whatever it accepts leaves a well-formed document (sentinels in place, one order
// entry per line), and the face motion then runs on it.

#include <cstdlib>

#include "engine/face_move.h"
#include "engine/face_reader.h"
#include "model/document.h"

namespace {

void check(const tovala::Document& doc) {
  if (doc.lines.empty() || doc.lineOrder.size() != doc.lines.size()) std::abort();
  for (const tovala::LineRecord& l : doc.lines) {
    if (l.points.empty() || l.points.back().mode != -1) std::abort();
    if (l.params.empty() || l.params.back().key != tovala::kParamSentinelKey) std::abort();
  }
  if (doc.objects.empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One document for the whole run (building one is costly); each input starts from its
  // empty model.
  static tovala::Document doc;
  static const std::vector<tovala::LineRecord> emptyLines = doc.lines;
  static const std::vector<tovala::ObjectRecord> emptyObjects = doc.objects;
  doc.lines = emptyLines;
  doc.lineOrder.assign(1, 0);
  doc.objects = emptyObjects;
  if (tovala::loadFaceData(doc, std::span<const uint8_t>(data, size)) != 1) {
    if (doc.lines != emptyLines || doc.objects != emptyObjects) std::abort();
    return 0;
  }
  check(doc);
  const int ctl = tovala::lineWithNumber(doc, tovala::kFaceController);
  if (ctl < 0) std::abort();
  for (int l = 0; l < doc.lineCount() - 1; ++l)
    for (int p = 0; p < doc.pointCount(l) - 1; ++p)
      if (doc.lines[size_t(l)].points[size_t(p)].nam == tovala::kFaceJointNumber) {
        doc.lines[size_t(l)].points[size_t(p)].rady = 0.7f;
        tovala::faceMoveAll(doc, l, p, 0);
      }
  check(doc);
  return 0;
}
