#pragma once
// Small documents and one-call helpers for the script tests: compile a source into a scratch
// program, run it, read the locals, with every message recorded.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdio>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "model/document.h"
#include "platform/ui.h"
#include "script/script_engine.h"

namespace tovala {

inline void PrintTo(const CodeEntry& e, std::ostream* os) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "{%02x %08x}", unsigned(e.flag), unsigned(e.code));
  *os << buf;
}

namespace script_test {

using P3 = std::array<float, 3>;

inline uint32_t bits(float f) { return std::bit_cast<uint32_t>(f); }

// Record shorthands for exact code listings.
inline CodeEntry num(float f) { return {0x02, bits(f)}; }
inline CodeEntry local(uint32_t i) { return {0x10, 0x02000000u + i}; }
inline CodeEntry ins(uint32_t code) { return {0x20, code}; }
inline CodeEntry target(uint32_t index) { return {0x01, index}; }
inline CodeEntry marker(uint32_t code = 0) { return {0xFF, code}; }
inline CodeEntry jump() { return {0x20, 0x10001}; }

// Appends a line in front of the sentinel line with points at `points` (reference equal to
// position, unit tips one unit along each axis); lineOrder becomes 0, 1, 2, ...
inline int appendLine(Document& doc, std::initializer_list<P3> points, int kind = 0) {
  LineRecord l = doc.makeDefaultLine();
  l.kind = kind;
  l.nam = doc.nextLineNumber();
  l.points.clear();
  int32_t number = kFirstNumber;
  for (const P3& p : points) {
    PointRecord r = Document::makeDefaultPoint();
    r.nam = number++;
    r.mode = 0;
    r.vx = r.v0x = p[0];
    r.vy = r.v0y = p[1];
    r.vz = r.v0z = p[2];
    r.unitX = {p[0] + 1, p[1], p[2]};
    r.unitY = {p[0], p[1] + 1, p[2]};
    r.unitZ = {p[0], p[1], p[2] + 1};
    l.points.push_back(r);
  }
  l.points.push_back(l.points.empty() ? Document::makeDefaultPoint()
                                      : doc.makeSentinelPoint(l.points.back(), number));
  doc.lines.insert(doc.lines.end() - 1, l);
  doc.lineOrder.clear();
  for (int i = 0; i < doc.lineCount(); ++i) doc.lineOrder.push_back(i);
  return doc.lineCount() - 2;
}

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override { doc.ui = &ui; }

  int addLine(std::initializer_list<P3> points, int kind = 0) {
    return appendLine(doc, points, kind);
  }

  PointRecord& pt(int line, int point) { return doc.lines[size_t(line)].points[size_t(point)]; }
  LineRecord& ln(int line) { return doc.lines[size_t(line)]; }

  // Compiles into a scratch program (no line changes, no dump file).
  CodeList compile(const std::string& source) {
    ScriptEngine e(doc);
    e.setStoreIntoLine(false);
    e.setDumpPath("");
    lastCompile = e.lex(source);
    return e.program();
  }

  // Compiles and runs once; returns the locals after the run.
  std::vector<float> exec(const std::string& source, uint64_t budget = 0) {
    ScriptEngine e(doc);
    e.setStoreIntoLine(false);
    e.setDumpPath("");
    lastCompile = e.lex(source);
    if (budget) e.setInstructionBudget(budget);
    const CodeList code = e.program();
    lastRun = e.run(code);
    return e.locals();
  }

  // The first local after running `source`.
  float value(const std::string& source) {
    const auto locals = exec(source);
    return locals.empty() ? -12345.0f : locals[0];
  }

  // The message texts shown so far.
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& s : ui.shown) out.push_back(s.text);
    return out;
  }

  Document doc;
  RecordingUi ui;
  int lastCompile = 0;
  int lastRun = 0;
};

}  // namespace script_test
}  // namespace tovala
