#pragma once
// The face motion behind the script's "FaceMoveAll": the face-part lines follow the face's
// reference joint. Each part is placed from its rest positions (the points' references) every
// time, so the motion never drifts:
//
// - turning the joint (its y rotation, as a drag turns it) swings each part sideways by its
//   depth on the head (the nose most, the ears least) while the part's width shrinks with the
//   cosine of the turn, so the far side of the face narrows and the near side widens;
// - nodding (x rotation) moves the parts up or down by their depth the same way;
// - the joint's z rotation tilts the whole face about the joint, and its movement (position
//   minus reference) carries the face along.
// When the joint's frame has been turned (by the joints above it and its own rotation, as the
// line programs of a posed figure turn it), the frame gives the turn, nod and tilt instead, so
// the face follows a turned neck as well as the head.
//
// The contours go towards their side view (key 103) as the face turns, keeping the head's
// outline at the ears while the chin follows the features. Every part then adds its correction
// sets (keys 104 .. 107, face_parts.h) as far as the face has turned or nodded their way. The head lines only follow the joint, and carry
// the hair strands that hang from them. The parts are found by their numbers 315 .. 330 (with
// findLineByNumber, whose result serves as the line index, among the lines of the figure being
// posed, engine/cast.h); a number not found is skipped.

namespace tovala {

class Document;

// Moves the face whose reference joint is point `point` of line `line`. `selector` (the
// script argument's low byte) is accepted and does not change the motion. 1 done, -1 when the
// joint does not exist.
int faceMoveAll(Document& doc, int line, int point, int selector);

}  // namespace tovala
