#pragma once
// Writing a finished picture to a file in a still format of the format table: encoded whole in
// memory, then written atomically, so a failure leaves whatever was there before.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/picture.h"
#include "export/formats.h"

namespace tovala {

class Document;
class Ui;

// The picture in `format`, with `alpha` (one opacity per pixel, rows from the top, or empty
// for an opaque picture) where the format keeps transparency; a format without it gets the
// colours as they are. WebP is lossless unless `lossless` is false; `quick` compresses a PNG the
// fast way (larger files). Empty when the encoder refuses or the format holds no still picture.
std::vector<uint8_t> encodePicture(ExportFormat format, const ImageSlot& image,
                                   std::span<const uint8_t> alpha, bool lossless = true,
                                   bool quick = false);

// Encodes and writes the file atomically; a failure shows the save-failed message.
bool writePicture(const std::string& path, ExportFormat format, const ImageSlot& image,
                  std::span<const uint8_t> alpha, Ui& ui);

// The same as a PNG.
bool writePngFile(const std::string& path, const ImageSlot& image, std::span<const uint8_t> alpha,
                  Ui& ui);

// The editor's own picture of the document: the model picture as the canvas shows it without
// marks, or with `transparent` the figure alone with its opacity (render/figure_alpha.h). Redraws
// the document's layers. False when it has no model picture.
bool canvasPicture(Document& doc, bool transparent, ImageSlot& out, std::vector<uint8_t>& alpha);

}  // namespace tovala
