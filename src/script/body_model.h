#pragma once
// The human body model ("人体モデル作成"): replaces the document with a ready-to-pose figure.
//
// Stage 1, skeleton: line 0 (number 0) with the program that re-poses the figure from its
// reference (AllInit, TPMoveAll, TPRotAll, MacroMove, MacroRot, MakeAtariAll, MakeCLineAll),
// joint lines 1 .. 31 in five categories with 108 points, hit guides on the trunk and head, and
// the twelve posable joints with their limits and co-rotating points.
// Stage 2, outline: 150 connecting lines hung on the skeleton, each built by two calls (the
// line from the joint it hangs from, then its block's conditions).
// Stage 3, controller and objects: line 264, whose program joins the outline pieces at the
// joints after every step, and the 77 objects, one per body part.
//
// Messages: "メモリーエラー" (caption "err") when a hit guide would take a joint's parameter
// list past 63 entries (that guide is left out); "初期化エラー" (caption "メッセージ") when an
// outline names a joint that does not exist (that outline is left out).

#include <span>

namespace tovala {

class Document;
struct BodyShape;

namespace body {
struct BodyTables;
}

inline constexpr int kBodyControllerNumber = 264;
inline constexpr int kMaxPointParams = 63;

// The command: nothing in motion mode (-1); otherwise builds the figure, returns to editing
// mode 0 and redraws. Returns 1.
int createBodyModel(Document& doc);

// The figure in the proportions of `shape`, which bodyShapeFault must pass (script/body_shape.h).
int createBodyModel(Document& doc, const BodyShape& shape);

// Whether the document starts with a figure built as the body model (in any shape): its lines,
// points and objects, with any lines added after them.
bool isBodyModelFigure(const Document& doc);

// 体型変更: the body model figure the document starts with takes `shape` (bodyShapeFault must
// pass). The joints' and outlines' places, the outlines' shapes and the objects' depth offsets
// come from the figure of that shape; the pose, styles, joint limits and added lines stay. In
// motion mode the figure is posed again. -1, changing nothing, when the document does not start
// with a body model figure.
int reshapeBodyModel(Document& doc, const BodyShape& shape);

// The same from any tables (tests use broken ones to see the refusals).
int createBodyModel(Document& doc, const body::BodyTables& tables);

}  // namespace tovala
