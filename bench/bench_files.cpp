// HC container throughput and project save/load on a document of 2,000 lines.
//
// The lines carry what real figures carry: positions with full-precision floats, joint limits
// and co-rotation lists on joint lines, short compiled programs. Two canvases are measured: the
// default 1000 x 1200 one, whose blank underlay is more than half of the payload and compresses
// to almost nothing, and a 64 x 64 one, where the payload is nearly all line data.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "model/document.h"
#include "model/hc_container.h"
#include "model/project_file.h"

namespace {

using tovala::Document;

Document& figure(int canvas) {
  static Document* docs[2] = {};
  Document*& doc = docs[canvas == 64 ? 1 : 0];
  if (doc) return *doc;
  doc = new Document;
  doc->imageWidth = canvas == 64 ? 64 : tovala::kDefaultImageWidth;
  doc->imageHeight = canvas == 64 ? 64 : tovala::kDefaultImageHeight;
  doc->recreateWorkImages();
  std::mt19937 rng(2000);
  std::uniform_real_distribution<float> pos(0.0f, 1000.0f), small(-1.0f, 1.0f);
  doc->lines.clear();
  doc->lineOrder.clear();
  for (int i = 0; i < 2000; ++i) {
    tovala::LineRecord l = doc->makeDefaultLine();
    l.nam = 10000 + i;
    l.kind = i % 7 == 0 ? 4 : i % 3;
    l.cr = rng() & 0xFFFFFF;
    l.vx = pos(rng), l.vy = pos(rng);
    l.points.clear();
    const int points = 3 + i % 4;
    for (int p = 0; p < points; ++p) {
      tovala::PointRecord pt = Document::makeDefaultPoint();
      pt.kind = l.kind == 4 && p == 0 ? 2000 : 0;
      pt.nam = 10000 + p;
      pt.mode = 0;
      pt.vx = pt.v0x = pos(rng), pt.vy = pt.v0y = pos(rng), pt.vz = pt.v0z = small(rng);
      pt.unitX = {pt.vx + 1, pt.vy, pt.vz}, pt.unitY = {pt.vx, pt.vy + 1, pt.vz};
      pt.unitZ = {pt.vx, pt.vy, pt.vz + 1};
      if (pt.kind == 2000) {
        pt.params.clear();
        for (int k = 6; k <= 17; ++k)
          pt.params.push_back(tovala::ParamEntry::ofFloat(k, 0, k < 12 ? -200.0f : -3.14f));
        for (int k = 0; k < 5; ++k)
          pt.params.push_back(tovala::ParamEntry::ofInt(20, 0, ((i + k) % 2000) << 16 | k));
        pt.params.push_back(tovala::ParamEntry::sentinel());
      }
      l.points.push_back(pt);
    }
    l.points.push_back(doc->makeSentinelPoint(l.points.back(), 10000 + points));
    if (i % 5 == 0) {
      l.code.clear();
      for (int c = 0; c < 20; ++c) l.code.push_back({c % 4 == 0 ? 0x20 : 1, uint32_t(rng())});
      l.code.push_back({});
    }
    doc->lines.push_back(l);
    doc->lineOrder.push_back(i);
  }
  doc->lines.push_back(doc->makeDefaultLine());
  doc->lineOrder.push_back(2000);
  return *doc;
}

const std::vector<uint8_t>& payload(int canvas) {
  static std::vector<uint8_t> payloads[2];
  auto& p = payloads[canvas == 64 ? 1 : 0];
  if (p.empty()) p = tovala::writeProjectPayload(figure(canvas));
  return p;
}

void BM_HcEncode(benchmark::State& state) {
  const auto& in = payload(int(state.range(0)));
  size_t out = 0;
  for (auto _ : state) {
    auto e = tovala::encodeHc(in);
    out = e->size();
    benchmark::DoNotOptimize(e->data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
  state.counters["payload_bytes"] = double(in.size());
  state.counters["encoded_bytes"] = double(out);
}

void BM_HcDecode(benchmark::State& state) {
  const auto& in = payload(int(state.range(0)));
  const auto encoded = *tovala::encodeHc(in);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    if (tovala::decodeHc(encoded, out) != tovala::HcStatus::Ok) state.SkipWithError("decode");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

std::string scratchFile() {
  return (std::filesystem::temp_directory_path() / "tovala-bench-files.tov").string();
}

void BM_ProjectSave(benchmark::State& state) {
  const Document& doc = figure(int(state.range(0)));
  const std::string path = scratchFile();
  for (auto _ : state)
    if (!tovala::saveProject(doc, path, true)) state.SkipWithError("save");
  state.SetBytesProcessed(int64_t(state.iterations()) *
                          int64_t(payload(int(state.range(0))).size()));
  std::filesystem::remove(path);
}

void BM_ProjectLoad(benchmark::State& state) {
  const std::string path = scratchFile();
  tovala::saveProject(figure(int(state.range(0))), path, true);
  Document doc;
  for (auto _ : state)
    if (!tovala::loadProject(doc, path, true)) state.SkipWithError("load");
  state.SetBytesProcessed(int64_t(state.iterations()) *
                          int64_t(payload(int(state.range(0))).size()));
  std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_HcEncode)->Arg(1000)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HcDecode)->Arg(1000)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectSave)->Arg(1000)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectLoad)->Arg(1000)->Arg(64)->Unit(benchmark::kMillisecond);
