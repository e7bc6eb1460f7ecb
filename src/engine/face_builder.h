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

#include <span>

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

// Builds the face on `partLines`, the face-part lines one read created (their indices in `doc`):
// their settings for the face motion, their looks, and the 22 objects drawn from them. Parts
// and objects are looked up among these lines only, so a face read into a document that has one
// builds on its own lines and leaves the other face's lines and objects as they were; only a
// hair connection that the file names by the number of a line that is not one of these parts is
// looked up in the whole document.
void buildFace(Document& doc, const FaceData& data, const FaceFrame& frame, const FaceAux& aux,
               std::span<const int> partLines, int jointLine, int jointPoint);

// Depth of a point of the face at (x, y) from the face centre on the head model.
double faceDepthAt(const FaceFrame& frame, double headDepth, double x, double y);

}  // namespace tovala
