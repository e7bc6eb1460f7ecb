#pragma once
// The object list: named shapes assembled from pieces of several lines (an outline, a fill, a
// circle or an eye), and the operations the objects panel performs on it. The document keeps
// the list (a trailing sentinel record, like lines), the current object the panel edits
// (`scratchObject`) and a backup of it taken before each change (`objectBackup`).
//
// Record words: header 0 number, 1 draw type, 2 colour, 3 mode, 4 reserved, 5 reference point
// (line * 65536 + point * 256 + axis), 6 depth; A the first value list, B the second, C the line
// of each piece (the first negative entry ends the list), D the rule of each piece packed as
// four bytes a, b, c, d from the top down: d 0 the whole line forwards, 1 backwards, 2 the points
// b to c, 3 the single point c. Eye objects keep their parameters in D from the fourth word on.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

namespace tovala {

class Document;

enum ObjectHeaderField : int {
  kObjectNumber = 0,
  kObjectDrawType = 1,
  kObjectColour = 2,
  kObjectMode = 3,
  kObjectReserved = 4,
  kObjectReference = 5,
  kObjectDepth = 6,
};

// Draw type: the low byte is the shape, the second byte 1 for the filled variants.
inline constexpr int32_t kShapeNormal = 0;
inline constexpr int32_t kShapeCircle = 1;
inline constexpr int32_t kShapeEye = 2;
inline constexpr int32_t kDrawFilled = 0x100;

// Mode (low 24 bits); for the two several-points modes the top byte counts the leading
// integer values of the first value list.
inline constexpr int32_t kObjectModeNormal = 0;
inline constexpr int32_t kObjectModeFace = 1;
inline constexpr int32_t kObjectModeSeveralPlus = 0x000100;
inline constexpr int32_t kObjectModeSeveralMinus = 0x010100;

// Rule of a piece.
enum PieceRule : int { kPieceForward = 0, kPieceBackward = 1, kPieceRange = 2, kPiecePoint = 3 };

struct PieceRange {
  int a = 0, b = 0, c = 0, d = 0;
};
inline int32_t packPieceRule(const PieceRange& r) {
  return int32_t((uint32_t(r.a & 0xFF) << 24) | (uint32_t(r.b & 0xFF) << 16) |
                 (uint32_t(r.c & 0xFF) << 8) | uint32_t(r.d & 0xFF));
}
inline PieceRange unpackPieceRule(int32_t w) {
  const uint32_t u = uint32_t(w);
  return {int(u >> 24), int((u >> 16) & 0xFF), int((u >> 8) & 0xFF), int(u & 0xFF)};
}

bool isEyeObject(const ObjectRecord& o);
// The number of used pieces: the entries before the first negative line entry.
int objectPieceCount(const ObjectRecord& o);

// Name as stored (Shift-JIS bytes, zero padded, cut to 16 bytes) from UTF-8 text, and back.
void setObjectName(ObjectRecord& o, std::string_view utf8);
std::string objectName(const ObjectRecord& o);

// --- the list ---------------------------------------------------------------------------------

// The smallest number >= 10000 that no object of the list (the sentinel excluded) uses.
int32_t nextObjectNumber(const Document& doc);
// Inserts `o` before the sentinel, numbering it when its number is negative. Returns its index.
int addObject(Document& doc, const ObjectRecord& o);
// Removes object `index` (never the sentinel). 1 done, -1 refused.
int deleteObject(Document& doc, int index);
// Copies `o` over object `index`. 1 done, -1 refused.
int rewriteObject(Document& doc, int index, const ObjectRecord& o);

// --- the current object -----------------------------------------------------------------------

void backupCurrentObject(Document& doc);
// "戻す": the current object back as it was at the last backup.
void restoreCurrentObject(Document& doc);
// "初期値": the current object becomes a fresh record (backup taken first).
void freshCurrentObject(Document& doc);
// The selected object becomes the current object (backup taken first). 1 done, -1 bad index.
int selectObject(Document& doc, int index);

// The panel's "追加", "削除" and "書換": each asks its question through the document's Ui and
// acts on Yes. The result is that of the operation, or 0 when the answer was No.
int addCurrentObjectAsked(Document& doc);
int deleteSelectedObjectAsked(Document& doc);
int rewriteSelectedObjectAsked(Document& doc);

// --- pieces -----------------------------------------------------------------------------------

// Puts line `line` with its picked points `first` .. `last` into piece `slot` (a slot beyond the
// used ones appends) and derives the rule: forwards when the range is the whole line in order,
// backwards when reversed, a single point when first == last, else the range. Eye objects take
// no pieces this way. Returns the slot used, or -1.
int addObjectPiece(Document& doc, ObjectRecord& o, int slot, int line, int first, int last);
// Removes piece `slot`: the later pieces move up and the last slot becomes empty. 1 or -1.
int removeObjectPiece(ObjectRecord& o, int slot);

// --- search -----------------------------------------------------------------------------------

// The objects (sentinel excluded) with `line` among their pieces, in list order.
std::vector<int> objectsUsingLine(const Document& doc, int line);
// "検索": the objects using `line`; when there are none the not-found message is shown and the
// current object is kept.
std::vector<int> searchObjectsByLine(Document& doc, int line);

// --- eyes -------------------------------------------------------------------------------------

// The eight eye items the eye editor lists, in its order.
enum EyeItem : int {
  kEyeWhiteColour = 0,  // "白目の色" BBGGRR
  kEyeIrisColour,       // "黒目の色" BBGGRR
  kEyeWidth,            // "目の幅(0-1)", x 10000 in the high half of its word
  kEyeHeight,           // "目の高(0-1)", x 10000 in the low half of the same word
  kEyeIrisSetting,      // "黒目設定" xxyywwhh
  kEyeIrisColour2,      // "黒目色"
  kEyeLightSetting,     // "目光設定" xxyywwhh
  kEyeLightColour,      // "目光色"
  kEyeItemCount
};
const char* eyeItemLabel(int item);
// The prompt the input box shows for an item.
const char* eyeItemPrompt(int item);
// The item's value as the input box shows it: hexadecimal words, "%f" fractions.
std::string eyeItemText(const ObjectRecord& o, int item);
// Stores text typed for an item. Fractions are clamped to 0..1. False (nothing stored) when the
// text is not a number of the item's form or the object is not an eye.
bool setEyeItem(ObjectRecord& o, int item, std::string_view text);
// The first eye object of the list, or -1 after showing that there is none.
int firstEyeObject(Document& doc);

// The rule word that holds item `item` of an eye object.
int eyeItemWord(int item);

}  // namespace tovala
