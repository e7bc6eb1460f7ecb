// The script VM side by side with Lua 5.4 in the same process, on the same loops: a counter and
// a sum in locals, and a point field updated from its neighbour. Each round runs the VM's loop,
// then Lua's; the counters give the median rates and the median of the rounds' ratios
// (vm_over_lua above 1 means the VM is faster).
//
// Lua gets its most favourable forms: the locals live in a table's array part (1-based), the
// points in nested tables reached through an upvalue, everything in floats as in the VM.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "model/document.h"
#include "script/script_engine.h"
#include "script_bench_doc.h"

namespace tovala {
namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

// A Lua state holding the function the chunk returns.
class LuaLoop {
 public:
  explicit LuaLoop(const std::string& chunk) : L_(luaL_newstate()) {
    luaL_openlibs(L_);
    ok_ = luaL_loadstring(L_, chunk.c_str()) == LUA_OK && lua_pcall(L_, 0, 1, 0) == LUA_OK &&
          lua_isfunction(L_, -1);
  }
  ~LuaLoop() { lua_close(L_); }
  LuaLoop(const LuaLoop&) = delete;
  LuaLoop& operator=(const LuaLoop&) = delete;

  bool ok() const { return ok_; }
  bool run() {
    lua_pushvalue(L_, -1);
    if (lua_pcall(L_, 0, 1, 0) != LUA_OK) return false;
    benchmark::DoNotOptimize(lua_tonumber(L_, -1));
    lua_pop(L_, 1);
    return true;
  }

 private:
  lua_State* L_;
  bool ok_ = false;
};

void sideBySide(benchmark::State& state, const std::string& source, const std::string& luaChunk,
                int64_t iterations) {
  Document doc = bench::makeFigure(8, 4);
  ScriptEngine engine(doc);
  if (!bench::compileScratch(engine, source, state)) return;
  const CodeList program = engine.program();
  LuaLoop lua(luaChunk);
  if (!lua.ok()) {
    state.SkipWithError("the Lua chunk did not load");
    return;
  }
  std::vector<double> vmRates, luaRates, ratios;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (engine.run(program) != 1) state.SkipWithError("the script stopped");
    const auto t1 = Clock::now();
    if (!lua.run()) state.SkipWithError("the Lua loop failed");
    const auto t2 = Clock::now();
    const double vm = double(iterations) / std::chrono::duration<double>(t1 - t0).count();
    const double lu = double(iterations) / std::chrono::duration<double>(t2 - t1).count();
    vmRates.push_back(vm);
    luaRates.push_back(lu);
    ratios.push_back(vm / lu);
  }
  state.counters["vm_Miter_per_s"] = median(vmRates) / 1e6;
  state.counters["lua_Miter_per_s"] = median(luaRates) / 1e6;
  state.counters["vm_over_lua"] = median(ratios);
}

void BM_LocalsLoopVsLua(benchmark::State& state) {
  sideBySide(state, "param 2; while (p[0] < 10000000) { p[1] += p[0]; p[0] += 1; }",
             "return function()\n"
             "  local p = {0.0, 0.0}\n"
             "  while p[1] < 10000000.0 do p[2] = p[2] + p[1]; p[1] = p[1] + 1.0 end\n"
             "  return p[2]\n"
             "end\n",
             10'000'000);
}
BENCHMARK(BM_LocalsLoopVsLua)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FieldLoopVsLua(benchmark::State& state) {
  sideBySide(state,
             "param 1; while (p[0] < 1000000) { L[3]P[2]vx = L[3]P[1]vx + 1; p[0] += 1; }",
             "local L = {}\n"
             "for i = 1, 8 do\n"
             "  local P = {}\n"
             "  for j = 1, 4 do P[j] = {vx = j * 5.0, vy = j * 7.0, vz = 0.0} end\n"
             "  L[i] = {P = P}\n"
             "end\n"
             "return function()\n"
             "  local p = {0.0}\n"
             "  while p[1] < 1000000.0 do L[4].P[3].vx = L[4].P[2].vx + 1.0; p[1] = p[1] + 1.0 end\n"
             "  return L[4].P[3].vx\n"
             "end\n",
             1'000'000);
}
BENCHMARK(BM_FieldLoopVsLua)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace tovala
