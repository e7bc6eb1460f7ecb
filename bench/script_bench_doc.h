#pragma once
// The small figures and scratch programs the script benchmarks run on.

#include <benchmark/benchmark.h>

#include <string>

#include "model/document.h"
#include "script/script_engine.h"

namespace tovala::bench {

// A document of `lines` lines with `points` points each, spread over the canvas.
inline Document makeFigure(int lines, int points) {
  Document doc;
  doc.lines.clear();
  doc.lineOrder.clear();
  for (int i = 0; i < lines; ++i) {
    LineRecord l = doc.makeDefaultLine();
    l.nam = kFirstNumber + i;
    l.points.clear();
    for (int p = 0; p < points; ++p) {
      PointRecord pt = Document::makeDefaultPoint();
      pt.nam = kFirstNumber + p;
      pt.mode = 0;
      pt.vx = float(50 + (i * 37) % 900 + p * 5);
      pt.vy = float(50 + (i * 53) % 1100 + p * 7);
      l.points.push_back(pt);
    }
    l.points.push_back(doc.makeSentinelPoint(l.points.back(), kFirstNumber + points));
    doc.lines.push_back(std::move(l));
    doc.lineOrder.push_back(i);
  }
  LineRecord sentinel = doc.makeDefaultLine();
  sentinel.nam = kFirstNumber + lines;
  doc.lines.push_back(std::move(sentinel));
  doc.lineOrder.push_back(lines);
  return doc;
}

// Compiles `source` into a scratch program; aborts the benchmark when it does not compile.
inline bool compileScratch(ScriptEngine& engine, const std::string& source,
                           benchmark::State& state) {
  engine.setStoreIntoLine(false);
  engine.setDumpPath("");
  if (engine.lex(source) < 0) {
    state.SkipWithError("the benchmark's script did not compile");
    return false;
  }
  return true;
}

}  // namespace tovala::bench
