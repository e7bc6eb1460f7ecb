// The script language on arbitrary input, against a small document with joints:
//   first byte even: the rest is source text, lexed, compiled into line 0, validated and run;
//   first byte odd:  the rest is a code array (8 bytes per entry, flag then code, little
//                    endian), validated and run as it stands.
// A small instruction budget keeps every input short; nothing may read outside the model or
// the program, whatever the input.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/document.h"
#include "script/line_programs.h"
#include "script/script_engine.h"

namespace {

using namespace tovala;

constexpr uint64_t kBudget = 20000;

LineRecord makeLine(const Document& doc, int kind, std::initializer_list<float> xs) {
  LineRecord l = doc.makeDefaultLine();
  l.kind = kind;
  l.points.clear();
  for (float x : xs) {
    PointRecord p = Document::makeDefaultPoint();
    p.mode = 0;
    p.kind = kind == 4 ? 2000 : 0;
    p.vx = p.v0x = x;
    p.vy = p.v0y = x / 2;
    p.unitX = {x + 1, x / 2, 0};
    p.unitY = {x, x / 2 + 1, 0};
    p.unitZ = {x, x / 2, 1};
    for (int k = 0; k < 12; ++k)
      p.params.insert(p.params.end() - 1, ParamEntry::ofFloat(6 + k, 0, k % 2 ? 2.0f : -2.0f));
    p.params.insert(p.params.end() - 1, ParamEntry::ofInt(20, 0, 1));
    l.points.push_back(p);
  }
  l.points.push_back(doc.makeSentinelPoint(l.points.back(), 10099));
  l.params.insert(l.params.begin(), ParamEntry::ofFloat(5, 0, 1.0f));
  return l;
}

Document& document() {
  static Document doc;
  static bool built = false;
  if (!built) {
    doc.lines.insert(doc.lines.end() - 1, makeLine(doc, 4, {10, 20, 30}));
    doc.lines.insert(doc.lines.end() - 1, makeLine(doc, 0, {5, 15}));
    doc.lineOrder = {1, 0, 2};
    built = true;
  }
  return doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  Document& doc = document();
  static const std::vector<LineRecord> pristine = doc.lines;
  doc.lines = pristine;
  doc.VextX = doc.VextY = doc.VextZ = doc.RadX = doc.RadY = doc.RadZ = 0;
  doc.curLine = 0;
  doc.curPoint = 0;

  ScriptEngine engine(doc);
  engine.setDumpPath("");
  engine.setInstructionBudget(kBudget);
  if ((data[0] & 1) == 0) {
    engine.lex(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  } else {
    CodeList code;
    for (size_t i = 1; i + 8 <= size; i += 8) {
      auto word = [&](size_t at) {
        return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
               uint32_t(data[at + 3]) << 24;
      };
      code.push_back(CodeEntry{int32_t(word(i)), word(i + 4)});
    }
    if (code.empty()) code.push_back(CodeEntry{});
    doc.lines[0].code = code;
  }
  if (engine.validate(0, -1) == 1 || (data[0] & 2)) {
    // Run it again on the changed model: the second run starts from what the first decoded.
    const CodeList program = doc.lines[0].code;
    engine.run(program);
    if (data[0] & 8) engine.run(program);
  }
  // The line programs as a motion step runs them (line 0's program may be any of the above).
  if (data[0] & 4) runLinePrograms(doc, 0, 0, kBudget);
  return 0;
}
