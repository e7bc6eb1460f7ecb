#pragma once
// The connecting-line panel's working copy and what the panel does with it without any UI:
// loading a block of the selected line, resetting it, capturing the shape of the line as it is
// drawn ("線作成") into per-point values, and committing the working entries to the line.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/cline.h"
#include "model/records.h"

namespace tovala {

class Document;

// A line with this many point records (the sentinel included) or more cannot be a connecting
// line edited in the panel.
inline constexpr int kCLinePanelPointLimit = 63;
inline constexpr int kCLinePanelRefused = -99;
inline constexpr int kCLinePanelCommit = 100;
inline constexpr const char* kCLineTooManyPoints = "一つの線の点の数は62個以下にしてください";
inline constexpr const char* kCLineCannotMove = "この線は動きを設定できません。";

// The panel's working copy of one block: its line entries, decoded, and one run of eight
// values per real point.
struct CLineWork {
  int block = 1;  // 1..9
  int method = kCLineHitMethod;
  int32_t start = 0;  // line · 65536 + point · 256 + anchor
  int32_t end = 0;
  uint32_t direction = 0;  // B+4: the side sign (f32) in hit mode, a reference in circle mode
  float minRatio = -1.0f;
  float maxRatio = 2.0f;
  std::vector<float> runIndex;                           // value of each point's B+50 entry
  std::vector<std::array<float, kCLineRunValues>> runs;  // each point's eight values

  float sideSign() const;
  void setSideSign(float sign);
  void setDirectionRef(int line, int point, int axis);
  int32_t base() const { return 100 * block; }
};

// The panel's two parameter lists: every entry of the line's list as "%4d,%08x" (key, value in
// hex) or of the selected point's list as "%4d,%4.3f" (key, value as a float); a list of one
// entry or less (the sentinel alone) shows the single line kNothingListed.
inline constexpr const char* kNothingListed = "存在しません";
std::vector<std::string> clineParamListing(const ParamList& list, bool hex);

// The panel's defaults for a line of `realPoints` points: along-values i / (n − 1) in all three
// views (0 for a single point), across-values 0, both with exponent 1.0; the run index 0.
void resetCLineRuns(CLineWork& work, int realPoints);
// Defaults for the line entries too (the block number stays).
void resetCLineWork(CLineWork& work, int realPoints);

// Loads block `block` of line `line` into `work`. A missing block resets everything to the
// defaults; a point without its run resets all runs. Returns 1, or kCLinePanelRefused when the
// line is invalid or holds kCLinePanelPointLimit point records or more (work unchanged).
int loadCLineWork(const Document& doc, int line, int block, CLineWork& work);

// The eight line entries B .. B+4, B+10 .. B+12 and the nine-entry run of real point `point`,
// as the commit writes them.
std::vector<ParamEntry> clineLineEntries(const CLineWork& work);
std::vector<ParamEntry> clineRunEntries(const CLineWork& work, int point);

// "線作成": fits every real point of line `line` from where it is now, against the ends the
// working entries name. Hit mode: along = the signed position of the point's foot along
// start→end (0 at the start, 1 at the end), across = its offset along the hit-mode
// perpendicular in unscaled units. Circle mode: radius = distance from the start (unscaled),
// angle = signed angle from the direction to the end, divided by the angle factor. The values
// go into all three views; exponents stay. Returns 1, or -1 (work unchanged) when the line or
// an end is invalid or the ends coincide in x and y.
int captureCLineShape(const Document& doc, int line, CLineWork& work);

// Commits the working entries: the line's range B .. B+12 (rotation conditions after it stay)
// and each real point's run B+50 .. B+52 are replaced, their paramChanged flags set. Returns 1,
// or -1 when the line is invalid (nothing changed).
int commitCLineWork(Document& doc, int line, const CLineWork& work);

}  // namespace tovala
