#pragma once
// The small posable figure of the motion tests: a joint line whose joint, at (300, 300), turns
// the line's two other points, (400, 300) and (300, 200), and a plain line (500, 300)-(600, 300).
// The joint line's program re-applies its rotation and movement on every drag step; it is left
// the current line.

// The script engine has a member named like Qt's `emit` keyword: it comes before any Qt header.
#include "script/script_engine.h"

#include <QtTest>

#include "engine/param_splice.h"
#include "shell_fixture.h"

namespace tovala::test {

inline void buildJointFigure(WindowFixture& f) {
  f.drawLine({{300, 300}, {400, 300}, {300, 200}});
  f.drawLine({{500, 300}, {600, 300}});
  Document& d = f.doc();
  d.lines[0].kind = 4;
  PointRecord& joint = d.lines[0].points[0];
  joint.kind = 2000;
  const JointRanges ranges{-100,     100,     -100,     100,     -100,     100,
                           -3.1416f, 3.1416f, -3.1416f, 3.1416f, -3.1416f, 3.1416f};
  replaceKindRange(joint, kJointFirstKey, kJointLastKey, jointRangeEntries(ranges, 1.0f));
  std::vector<ParamEntry> turned;
  for (auto [l, p] : {std::pair{0, 1}, {0, 2}, {1, 0}, {1, 1}})
    turned.push_back(ParamEntry::ofInt(kCoRotationKey, 0, l * 65536 + p));
  replaceKindRange(joint, kCoRotationKey, kCoRotationKey, turned);
  d.curLine = 0;
  ScriptEngine e(d);
  e.setDumpPath("");
  QCOMPARE(e.lex("TPRotSel(); TPMoveSel();"), 1);
}

}  // namespace tovala::test
