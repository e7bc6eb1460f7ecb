// Still exports of the human body model in object view: a print 4,000 pixels tall written as a
// PNG, and the export dialog's preview, the figure drawn smooth at the size the dialog shows it.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "export/figure_drawing.h"
#include "export/picture_export.h"
#include "model/document.h"
#include "script/body_model.h"

namespace tovala {
namespace {

void BM_ExportPngPrint(benchmark::State& state) {
  Document doc(Canvas::kNone);
  createBodyModel(doc);
  PictureExportOptions options;
  options.path = (std::filesystem::temp_directory_path() / "tovala_bench_print.png").string();
  options.width = 4000;
  options.height = 4000;
  fittedSize(doc.imageWidth, doc.imageHeight, options.width, options.height);
  std::string reason;
  for (auto _ : state) {
    if (!exportPicture(doc, options, reason)) {
      state.SkipWithError(reason.c_str());
      break;
    }
  }
  std::remove(options.path.c_str());
}
BENCHMARK(BM_ExportPngPrint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// The preview is at most 300 x 360 pixels; the dialog keeps one drawer, as here.
void BM_ExportPreview(benchmark::State& state) {
  Document doc(Canvas::kNone);
  createBodyModel(doc);
  FigureDrawer drawer;
  FigureLook look;
  look.transparent = state.range(0) != 0;
  ImageSlot picture;
  std::vector<uint8_t> alpha;
  for (auto _ : state) {
    if (!drawer.draw(doc, look, 300, 360, 0, picture, alpha)) {
      state.SkipWithError("not drawn");
      break;
    }
    benchmark::DoNotOptimize(picture.pixels.data());
  }
}
BENCHMARK(BM_ExportPreview)->ArgName("transparent")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tovala
