// HC container throughput and project save/load on a document of 2,000 lines.
//
// The lines carry what real figures carry: positions with full-precision floats, joint limits
// and co-rotation lists on joint lines, short compiled programs. Two canvases are measured: the
// default 1000 x 1200 one, whose blank underlay is more than half of the payload and compresses
// to almost nothing, and a 64 x 64 one, where the payload is nearly all line data.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
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

// A plain run decoder of the same format, as one would first write it: one operation at a time,
// every bound checked, single-byte runs through memset, literals through memcpy, longer patterns
// byte by byte, into a buffer kept from call to call. The peer the container's decoder is
// measured against.
bool plainDecode(std::span<const uint8_t> file, std::vector<uint8_t>& out) {
  if (file.size() < tovala::kHcHeaderSize || file[0] != 'H' || file[1] != 'C') return false;
  const size_t length = tovala::hcStoredLength(file);
  const size_t cap = length + tovala::kHcDecodeSlack;
  if (out.size() < cap) out.resize(cap);
  const uint8_t* in = file.data();
  const size_t size = file.size();
  size_t i = tovala::kHcHeaderSize, o = 0;
  auto count = [&](size_t& n) {
    for (;;) {
      if (i >= size) return false;
      const uint8_t b = in[i++];
      n += b;
      if (b != 255) return true;
    }
  };
  while (i < size) {
    const uint8_t c = in[i++];
    if (c & 0x80) {
      const size_t k = size_t((c >> 5) & 3) + 1;
      size_t times = c & 31;
      if (times == 31 && !count(times)) return false;
      if (k > size - i || times * k > cap - o) return false;
      if (k == 1) {
        std::memset(out.data() + o, in[i], times);
        o += times;
      } else {
        for (size_t t = 0; t < times; ++t)
          for (size_t j = 0; j < k; ++j) out[o++] = in[i + j];
      }
      i += k;
    } else {
      size_t n = c & 63;
      if (n == 63 && !count(n)) return false;
      if (n > size - i || n > cap - o) return false;
      std::memcpy(out.data() + o, in + i, n);
      o += n;
      i += n;
    }
  }
  out.resize(o);
  return o >= length;
}

void BM_HcDecodePlain(benchmark::State& state) {
  const auto& in = payload(int(state.range(0)));
  const auto encoded = *tovala::encodeHc(in);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    if (!plainDecode(encoded, out) || out.size() < in.size()) state.SkipWithError("decode");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}

// Both decoders on the same bytes, round by round: the median of the rounds' speed ratios
// (above 1: the container's decoder is faster).
void BM_HcDecodeVsPlain(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const auto encoded = *tovala::encodeHc(payload(int(state.range(0))));
  std::vector<uint8_t> out, plain;
  std::vector<double> ratios;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    for (int r = 0; r < 10; ++r) tovala::decodeHc(encoded, out);
    const auto t1 = Clock::now();
    for (int r = 0; r < 10; ++r) plainDecode(encoded, plain);
    const auto t2 = Clock::now();
    if (out != plain) state.SkipWithError("the decoders differ");
    ratios.push_back(std::chrono::duration<double>(t2 - t1).count() /
                     std::chrono::duration<double>(t1 - t0).count());
  }
  std::sort(ratios.begin(), ratios.end());
  state.counters["hc_over_plain"] = ratios[ratios.size() / 2];
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
BENCHMARK(BM_HcDecodePlain)->Arg(1000)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HcDecodeVsPlain)->Arg(1000)->Arg(64)->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_ProjectSave)->Arg(1000)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectLoad)->Arg(1000)->Arg(64)->Unit(benchmark::kMillisecond);
