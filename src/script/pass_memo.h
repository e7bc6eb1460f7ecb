#pragma once
// Repeated whole-document pose programs within one motion step.
//
// Every figure of a cast carries the same pose program (AllInit, then the joints, the whole-model
// movement, the hit guides and the connecting lines), and each of them re-poses the whole
// document; with N figures a step ran N whole-document passes N times over. Such a program starts
// with AllInit, which sets every real point's position and unit vectors from what the program
// never writes, so its result depends only on the rest of the document; and the rest of its
// passes give the same result when run again. So when the same program runs again and nothing
// but real points' positions changed since it last ran (the programs in between only join
// outline pieces), the result is the one it gave then: the memo puts back the positions and
// axes of the lines that changed instead of running it.
//
// Anything outside that shape runs as before: a program that writes a variable or calls another
// macro, a pose program of another shape, a co-rotation list naming a point AllInit does not set.

#include <cstdint>
#include <vector>

#include "model/records.h"

namespace tovala {

class Document;

class PassMemo {
 public:
  // Forgets the previous step; the memo stays idle until armed.
  void reset() { armed_ = valid_ = false; }
  // Arms the memo for a step over every line's program when some repeatable pose program is
  // among them twice; with a single figure it stays idle and costs nothing.
  void arm(const Document& doc);
  // True when running `code` now would give the document it had right after the same program's
  // last run; the document is then put back to that state.
  bool replay(Document& doc, const CodeList& code);
  // Records a program that just ran (`ok`: it ran to its end without stopping).
  void ran(const Document& doc, const CodeList& code, bool ok);

 private:
  void snapshot(const Document& doc);
  bool noteJoins(const Document& doc, const CodeList& code);

  bool armed_ = false;
  bool valid_ = false;
  CodeList program_;                 // the pose program whose result is kept
  std::vector<float> state_;         // position and unit vectors of every real point, 12 each
  std::vector<uint32_t> lineStart_;  // where each real line's points start in state_
  std::vector<uint8_t> dirty_;       // per real line: joined since the program ran
  std::vector<int> dirtyLines_;
};

// Whether `code` is a pose program the memo may keep: zero-argument whole-document passes only,
// AllInit first, and nothing that feeds the connecting lines after MakeCLineAll.
bool isRepeatablePoseProgram(const CodeList& code);

}  // namespace tovala
