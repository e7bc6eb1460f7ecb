#pragma once
// The figure written as one picture: drawn as export/figure_drawing.h says (no working marks,
// smooth, any size) in a still format of the format table, and written atomically.

#include <cstdint>
#include <string>

#include "export/figure_drawing.h"
#include "export/formats.h"

namespace tovala {

class Document;

struct PictureExportOptions {
  ExportFormat format = ExportFormat::Png;
  std::string path;
  // The picture's size; 0 x 0 takes the canvas size times `scale`.
  int32_t width = 0, height = 0;
  double scale = 1.0;
  FigureLook look;
  bool lossless = true;  // WebP
  int threads = 0;       // drawing threads, 0: one per core
};

// Empty when the options can be used for `doc`; otherwise why not (in Japanese, for the user).
std::string pictureExportFault(const Document& doc, const PictureExportOptions& options);

// The picture the export writes, without writing it.
bool drawExportPicture(const Document& doc, const PictureExportOptions& options, ImageSlot& out,
                       std::vector<uint8_t>& alpha, std::string& reason);

// Draws and writes the picture. False with `reason` when the options are refused, nothing could
// be drawn or the file could not be written; a file that was there is then as it was. `doc` is
// only read.
bool exportPicture(const Document& doc, const PictureExportOptions& options, std::string& reason);

}  // namespace tovala
