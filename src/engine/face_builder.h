#pragma once
// Builds a face out of the part lines a face data file filled: each part's settings for the
// face motion (how far its ends travel when the face turns or nods, which points it hangs
// from), the look of the lines, and the face's objects in their fixed order, each drawn with
// the reference joint's depth plus an offset that stacks hair, ears, face, brows, lids and
// eyes the way a face is layered.
//
// The travel distances come from a head model: the face lies on the front of an ellipsoid as
// wide as the face, as tall as it, and as deep as the depth proportion says, so a point's
// depth is how far it swings sideways when the face turns a quarter round.

#include "engine/face_reader.h"

namespace tovala {

class Document;

// The two positions the sample rows give besides the parts (mode -1 when absent).
struct FaceAux {
  FaceSample parting;  // where the front hair parts
  FaceSample crown;    // the top of the head
};

// The face's objects, in the order they are created.
inline constexpr int kFaceObjectCount = 22;
extern const char* const kFaceObjectNames[kFaceObjectCount];

void buildFace(Document& doc, const FaceData& data, const FaceFrame& frame, const FaceAux& aux,
               int jointLine, int jointPoint);

// Depth of a point of the face at (x, y) from the face centre on the head model.
double faceDepthAt(const FaceFrame& frame, double headDepth, double x, double y);

}  // namespace tovala
