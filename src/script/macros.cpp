#include "script/macros.h"

#include <array>
#include <cmath>

#include "engine/atari.h"
#include "engine/cast.h"
#include "engine/cline.h"
#include "engine/direct_connect.h"
#include "engine/face_move.h"
#include "engine/joints.h"
#include "engine/oline.h"
#include "engine/oline_connect.h"
#include "model/document.h"
#include "script/bytecode.h"

namespace tovala::script {
namespace {

using Routine = float (*)(Document& doc, std::span<const CodeEntry> args);

struct Binding {
  uint32_t index;  // low half of the instruction code
  int argCount;
  Routine routine;
};

// --- measurements -----------------------------------------------------------------------------

const PointRecord* realPoint(const Document& doc, const CodeEntry& arg) {
  const MacroRef r = decodeMacroRef(arg);
  if (doc.isValidPick(r.line, r.point) != 1) return nullptr;
  return &doc.lines[size_t(r.line)].points[size_t(r.point)];
}

float distance(Document& doc, std::span<const CodeEntry> args, bool withZ) {
  const PointRecord* a = realPoint(doc, args[0]);
  const PointRecord* b = realPoint(doc, args[1]);
  if (!a || !b) return 0.0f;
  const double dx = double(a->vx) - b->vx, dy = double(a->vy) - b->vy;
  const double dz = withZ ? double(a->vz) - b->vz : 0.0;
  return float(std::sqrt(dx * dx + dy * dy + dz * dz));
}

// Heron's formula over the x and y of two unit-vector ends and the point's position.
float triangleArea(const std::array<float, 3>& first, const std::array<float, 3>& second,
                   const PointRecord& p) {
  auto planeDistance = [](double ax, double ay, double bx, double by) {
    return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
  };
  const float a = float(planeDistance(first[0], first[1], second[0], second[1]));
  const float b = float(planeDistance(second[0], second[1], p.vx, p.vy));
  const double e = planeDistance(p.vx, p.vy, first[0], first[1]);
  const double s = (double(a) + b + e) / 2.0;
  const double q = s * (s - a) * (s - b) * (s - e);
  return q > 0.0 ? float(std::sqrt(q)) : 0.0f;
}

float macroDistance(Document& doc, std::span<const CodeEntry> args) {
  return distance(doc, args, true);
}
float macroDistance2D(Document& doc, std::span<const CodeEntry> args) {
  return distance(doc, args, false);
}
float macroTriangleXY(Document& doc, std::span<const CodeEntry> args) {
  const PointRecord* p = realPoint(doc, args[0]);
  return p ? triangleArea(p->unitX, p->unitY, *p) : 0.0f;
}
float macroTriangleXZ(Document& doc, std::span<const CodeEntry> args) {
  const PointRecord* p = realPoint(doc, args[0]);
  return p ? triangleArea(p->unitX, p->unitZ, *p) : 0.0f;
}
float macroTriangleYZ(Document& doc, std::span<const CodeEntry> args) {
  const PointRecord* p = realPoint(doc, args[0]);
  return p ? triangleArea(p->unitY, p->unitZ, *p) : 0.0f;
}

// --- motion ----------------------------------------------------------------------------------

// Every real point back on its reference, its axis tips one model-scale unit along X, Y, Z (of
// the figure being posed, in a cast: engine/cast.h).
float macroAllInit(Document& doc, std::span<const CodeEntry>) {
  const float s = doc.modelScale;
  const LineSpan lines = passLines(doc);
  for (int l = lines.first; l < lines.end; ++l) {
    LineRecord& line = doc.lines[size_t(l)];
    for (int i = 0; i < line.pointCount() - 1; ++i) {
      PointRecord& p = line.points[size_t(i)];
      p.vx = p.v0x;
      p.vy = p.v0y;
      p.vz = p.v0z;
      p.unitX = {p.v0x + s, p.v0y, p.v0z};
      p.unitY = {p.v0x, p.v0y + s, p.v0z};
      p.unitZ = {p.v0x, p.v0y, p.v0z + s};
    }
  }
  return 0.0f;
}

// Whatever the engine operation reports, the script sees 0.
template <int (*Op)(Document&)>
float wholeModel(Document& doc, std::span<const CodeEntry>) {
  Op(doc);
  return 0.0f;
}

template <int (*Op)(Document&, int, int)>
float atPoint(Document& doc, std::span<const CodeEntry> args) {
  const MacroRef r = decodeMacroRef(args[0]);
  Op(doc, r.line, r.point);
  return 0.0f;
}

// The engine checks the reference itself (its range test admits sentinel points).
constexpr Binding kBound[] = {
    {0x01, 0, macroAllInit},
    {0x03, 0, wholeModel<MacroRot>},
    {0x04, 0, wholeModel<MacroMove>},
    {0x05, 0, wholeModel<MacroRotSel>},
    {0x06, 0, wholeModel<MacroMoveSel>},
    {0x10, 1, atPoint<TPMove>},
    {0x11, 1, atPoint<TPRot>},
    {0x15, 2, macroDistance},
    {0x16, 2, macroDistance2D},
    {0x17, 1, macroTriangleXY},
    {0x18, 1, macroTriangleXZ},
    {0x19, 1, macroTriangleYZ},
    {0x1A, 0, wholeModel<TPMoveAll>},
    {0x1B, 0, wholeModel<TPRotAll>},
    {0x1C, 0, wholeModel<TPMoveSel>},
    {0x1D, 0, wholeModel<TPRotSel>},
};

// ============================================================================================
// Macros of the work on hit guides, connecting lines, decorative lines, the face and the
// direct connections.
// ============================================================================================

// Hit guides, connecting and decorative lines: the reference names the joint point (with the
// block selector in its low byte) or the line.
float macroMakeAtari(Document& doc, std::span<const CodeEntry> args) {
  const MacroRef r = decodeMacroRef(args[0]);
  makeAtari(doc, r.line, r.point, r.selector);
  return 0.0f;
}
template <int (*Op)(Document&, int)>
float onLine(Document& doc, std::span<const CodeEntry> args) {
  Op(doc, decodeMacroRef(args[0]).line);
  return 0.0f;
}

// Direct connections: N references, lines named by number (findLineByNumber) or, in the "D"
// forms, by index; the first reference's selector is the operation's mode.
template <int (*Op)(Document&, std::span<const PointRef>, int), size_t N, bool byNumber>
float directConnect(Document& doc, std::span<const CodeEntry> args) {
  std::array<PointRef, N> refs;
  for (size_t i = 0; i < N; ++i) {
    const MacroRef r = decodeMacroRef(args[i]);
    refs[i] = {r.line, r.point};
  }
  if (byNumber && !resolveLineNumbers(doc, refs)) return 0.0f;
  Op(doc, refs, decodeMacroRef(args[0]).selector);
  return 0.0f;
}

float macroFaceMoveAll(Document& doc, std::span<const CodeEntry> args) {
  const MacroRef r = decodeMacroRef(args[0]);
  faceMoveAll(doc, r.line, r.point, r.selector);
  return 0.0f;
}

constexpr Binding kPending[] = {
    {0x12, 1, macroMakeAtari},  // MakeAtari (line, point, block selector)
    {0x13, 1, onLine<MakeCLine>},  // MakeCLine (line)
    {0x1E, 0, wholeModel<MakeAtariAll>},  // MakeAtariAll
    {0x1F, 0, wholeModel<MakeCLineAll>},  // MakeCLineAll
    {0x20, 4, directConnect<connectDirect4, 4, true>},     // ConnectDirect4 (lines by number)
    {0x21, 10, directConnect<connectDirect8, 10, true>},   // ConnectDirect8
    {0x22, 10, directConnect<connectDirect8L, 10, true>},  // ConnectDirect8L
    {0x23, 4, directConnect<connectDirectF, 4, true>},     // ConnectDirectF
    {0x24, 1, macroFaceMoveAll},  // FaceMoveAll (reference joint, selector)
    {0x25, 1, onLine<MakeOLine>},  // MakeOLine (line)
    {0x26, 0, wholeModel<MakeOLineAll>},  // MakeOLineAll
    {0x27, 1, onLine<ConnectOLine>},  // ConnectOLine (line)
    {0x28, 0, wholeModel<ConnectOLineAll>},  // ConnectOLineAll
    {0x29, 4, directConnect<connectDirect4, 4, false>},    // ConnectDirect4D (lines by index)
    {0x2A, 10, directConnect<connectDirect8, 10, false>},  // ConnectDirect8D
    {0x2B, 10, directConnect<connectDirect8L, 10, false>}, // ConnectDirect8LD
    {0x2C, 4, directConnect<connectDirectF, 4, false>},    // ConnectDirectFD
};

struct Slot {
  int argCount = -1;
  Routine routine = nullptr;
};

constexpr std::array<Slot, kMacroSlots> makeTable() {
  std::array<Slot, kMacroSlots> table{};
  for (const Binding& b : kBound) table[b.index] = Slot{b.argCount, b.routine};
  for (const Binding& b : kPending) table[b.index] = Slot{b.argCount, b.routine};
  return table;
}

constexpr std::array<Slot, kMacroSlots> kTable = makeTable();

constexpr int countSlots() {
  int n = 0;
  for (const Slot& s : kTable) n += s.argCount >= 0 ? 1 : 0;
  return n;
}
static_assert(countSlots() == 33, "every macro has exactly one slot");

}  // namespace

int macroArgCount(uint32_t index) { return index < kTable.size() ? kTable[index].argCount : -1; }

float callMacroRoutine(Document& doc, uint32_t index, std::span<const CodeEntry> args) {
  if (index >= kTable.size() || !kTable[index].routine) return 0.0f;
  if (args.size() != size_t(kTable[index].argCount)) return 0.0f;
  return kTable[index].routine(doc, args);
}

}  // namespace tovala::script
