// The script VM on the paths posing depends on: a tight loop over locals, field reads and
// writes, and a typical command program run once per line over a 200-line figure.

#include <benchmark/benchmark.h>

#include <string>

#include "model/document.h"
#include "script/line_programs.h"
#include "script/script_engine.h"
#include "script_bench_doc.h"

namespace tovala {
namespace {

using bench::compileScratch;
using bench::makeFigure;

void BM_LocalsLoop(benchmark::State& state) {
  constexpr int64_t kIterations = 10'000'000;
  Document doc = makeFigure(4, 4);
  ScriptEngine engine(doc);
  if (!compileScratch(engine, "param 2; while (p[0] < 10000000) { p[1] += p[0]; p[0] += 1; }",
                      state))
    return;
  const CodeList program = engine.program();
  for (auto _ : state) benchmark::DoNotOptimize(engine.run(program));
  state.SetItemsProcessed(state.iterations() * kIterations);
}
BENCHMARK(BM_LocalsLoop)->Unit(benchmark::kMillisecond)->Iterations(5);

// One hundred copies of the statement, so the run's own start is spread thin. The program runs
// again and again, as posing runs it on every mouse move: from the second run on, the engine
// executes the statements it decoded. With `interpreted` it never decodes, which is what every
// statement costs the first time it runs.
void fieldReadWrite(benchmark::State& state, bool interpreted) {
  constexpr int kStatements = 100;
  std::string source;
  for (int i = 0; i < kStatements; ++i) source += "L[3]P[2]vx = L[3]P[1]vx + 1;\n";
  Document doc = makeFigure(8, 4);
  ScriptEngine engine(doc);
  if (!compileScratch(engine, source, state)) return;
  engine.setFastPath(!interpreted);
  const CodeList program = engine.program();
  for (auto _ : state) benchmark::DoNotOptimize(engine.run(program));
  state.SetItemsProcessed(state.iterations() * kStatements);
}
void BM_FieldReadWrite(benchmark::State& state) { fieldReadWrite(state, false); }
void BM_FieldReadWriteInterpreted(benchmark::State& state) { fieldReadWrite(state, true); }
BENCHMARK(BM_FieldReadWrite);
BENCHMARK(BM_FieldReadWriteInterpreted);

// The same statement repeated in a loop, where the VM runs its pre-decoded form. The time per
// iteration includes the loop's own test and increment, so it bounds the statement from above.
void BM_FieldReadWriteInLoop(benchmark::State& state) {
  constexpr int64_t kIterations = 1'000'000;
  Document doc = makeFigure(8, 4);
  ScriptEngine engine(doc);
  if (!compileScratch(engine,
                      "param 1; while (p[0] < 1000000) { L[3]P[2]vx = L[3]P[1]vx + 1; "
                      "p[0] += 1; }",
                      state))
    return;
  const CodeList program = engine.program();
  for (auto _ : state) benchmark::DoNotOptimize(engine.run(program));
  state.SetItemsProcessed(state.iterations() * kIterations);
}
BENCHMARK(BM_FieldReadWriteInLoop)->Unit(benchmark::kMillisecond);

// A typical command program: read a joint's position, place two points from it, and keep
// an offset within bounds.
constexpr const char* kTypicalProgram =
    "param 3;\n"
    "p[0] = L[0]P[0]vx - L[0]P[0]v0x;\n"
    "p[1] = L[0]P[0]vy - L[0]P[0]v0y;\n"
    "L[1]P[0]vx = L[1]P[0]v0x + p[0] * 0.5;\n"
    "L[1]P[0]vy = L[1]P[0]v0y + p[1] * 0.5;\n"
    "if (p[0] > 100) { p[2] = 100; } else { p[2] = p[0]; }\n"
    "L[1]P[1]vx = L[1]P[1]v0x + p[2];\n";

void BM_TypicalProgramPerLine(benchmark::State& state) {
  Document doc = makeFigure(200, 3);
  ScriptEngine engine(doc);
  engine.setDumpPath("");
  for (int i = 0; i < 200; ++i) {
    doc.curLine = i;
    if (engine.lex(kTypicalProgram) < 0) {
      state.SkipWithError("the typical program did not compile");
      return;
    }
  }
  for (auto _ : state) benchmark::DoNotOptimize(runLinePrograms(doc, 0, 0));
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_TypicalProgramPerLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovala
