#include "codec/jpeg_file.h"

// jpeglib.h needs FILE and size_t declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
// jerror.h after jpeglib.h, whose types it uses.
#include <jerror.h>

#include <algorithm>
#include <array>

namespace tovala {

namespace {

constexpr uint64_t kMaxPixelsPerByte = 4096;
constexpr int kMaxScans = 1000;
// The decoder's own buffers (a progressive file keeps every coefficient) stay below this.
constexpr long kMaxDecoderMemory = 1L << 30;

struct ErrorJump {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is a pointer to this
  std::jmp_buf jump;
};

[[noreturn]] void leave(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
}

// Level -1 is a warning; higher levels are trace messages. A warning about the pixel data
// refuses the file; those about header fields this reader does not use (the JFIF version, the
// Adobe transform code, an ICC profile) do not.
void onMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  switch (info->err->msg_code) {
    case JWRN_JFIF_MAJOR:
    case JWRN_ADOBE_XFORM:
    case JWRN_BOGUS_ICC: return;
    default: leave(info);
  }
}

void quiet(j_common_ptr) {}

void limitScans(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) leave(info);
}

// The Exif orientation (1 to 8) an APP1 marker's data names: "Exif", two zero bytes, then a
// TIFF header and its first directory, whose tag 0x0112 holds it. 1 when it names none.
int exifOrientation(const uint8_t* data, size_t size) {
  constexpr std::array<uint8_t, 6> kExif = {'E', 'x', 'i', 'f', 0, 0};
  if (size < kExif.size() + 8 || !std::equal(kExif.begin(), kExif.end(), data)) return 1;
  const uint8_t* tiff = data + kExif.size();
  const uint64_t n = size - kExif.size();
  bool big = false;
  if (tiff[0] == 'M' && tiff[1] == 'M')
    big = true;
  else if (tiff[0] != 'I' || tiff[1] != 'I')
    return 1;
  const auto u16 = [&](uint64_t at) {
    return big ? uint32_t(tiff[at] << 8 | tiff[at + 1]) : uint32_t(tiff[at] | tiff[at + 1] << 8);
  };
  const auto u32 = [&](uint64_t at) {
    return big ? u16(at) << 16 | u16(at + 2) : u16(at) | u16(at + 2) << 16;
  };
  const uint64_t directory = u32(4);
  if (directory + 2 > n) return 1;
  const uint32_t entries = u16(directory);
  for (uint32_t e = 0; e < entries; ++e) {
    const uint64_t at = directory + 2 + 12 * uint64_t(e);
    if (at + 12 > n) return 1;
    if (u16(at) == 0x0112 && u16(at + 2) == 3) {  // a SHORT
      const uint32_t value = u16(at + 8);
      return value >= 1 && value <= 8 ? int(value) : 1;
    }
  }
  return 1;
}

int savedOrientation(const jpeg_decompress_struct& info) {
  for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
    if (m->marker == JPEG_APP0 + 1) return exifOrientation(m->data, m->data_length);
  return 1;
}

// Turns and mirrors the stored picture by its Exif orientation into the picture a camera meant.
// Keeps the stored one when the turned one cannot be made.
void applyOrientation(ImageSlot& picture, int orientation) {
  if (orientation <= 1 || orientation > 8) return;
  const int w = picture.width, h = picture.height;
  const bool swap = orientation >= 5;
  ImageSlot turned;
  if (!allocatePicture(turned, swap ? h : w, swap ? w : h)) return;
  for (int y = 0; y < turned.height; ++y) {
    uint8_t* d = turned.row(y);
    for (int x = 0; x < turned.width; ++x, d += 3) {
      int sx = x, sy = y;
      switch (orientation) {
        case 2: sx = w - 1 - x; break;                  // mirrored
        case 3: sx = w - 1 - x, sy = h - 1 - y; break;  // half a turn
        case 4: sy = h - 1 - y; break;                  // upside down
        case 5: sx = y, sy = x; break;                  // transposed
        case 6: sx = y, sy = h - 1 - x; break;          // a quarter turn clockwise
        case 7: sx = w - 1 - y, sy = h - 1 - x; break;  // transposed the other way
        default: sx = w - 1 - y, sy = x; break;         // 8: a quarter turn anticlockwise
      }
      const uint8_t* s = picture.row(sy) + 3 * sx;
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
  picture = std::move(turned);
}

}  // namespace

bool decodeJpeg(std::span<const uint8_t> file, ImageSlot& out) {
  out = ImageSlot{};
  if (file.size() < kJpegStart.size() ||
      !std::equal(kJpegStart.begin(), kJpegStart.end(), file.begin()))
    return false;

  // Nothing with a destructor may be created between setjmp and the last libjpeg call: a
  // longjmp would skip it. `out` lives in the caller.
  jpeg_decompress_struct info{};
  ErrorJump errors{};
  jpeg_progress_mgr progress{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = leave;
  errors.manager.emit_message = onMessage;
  errors.manager.output_message = quiet;
  progress.progress_monitor = limitScans;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    out = ImageSlot{};
    return false;
  }
  jpeg_create_decompress(&info);
  info.progress = &progress;
  info.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);  // Exif
  jpeg_read_header(&info, TRUE);
  const int orientation = savedOrientation(info);

  const uint64_t pixels = uint64_t(info.image_width) * uint64_t(info.image_height);
  const bool colours = info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB ||
                       info.jpeg_color_space == JCS_GRAYSCALE;
  if (!colours || pixels > kMaxPixelsPerByte * uint64_t(file.size()) ||
      !allocatePicture(out, info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    out = ImageSlot{};
    return false;
  }
  info.out_color_space = JCS_EXT_BGR;  // the slot's byte order
  jpeg_start_decompress(&info);
  if (info.output_width != JDIMENSION(out.width) || info.output_height != JDIMENSION(out.height) ||
      info.output_components != 3)
    leave(reinterpret_cast<j_common_ptr>(&info));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.row(int(info.output_scanline));
    if (jpeg_read_scanlines(&info, &row, 1) != 1) leave(reinterpret_cast<j_common_ptr>(&info));
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  applyOrientation(out, orientation);
  return true;
}

std::vector<uint8_t> encodeJpeg(const ImageSlot& image, int quality) {
  if (!image.present || image.width <= 0 || image.height <= 0) return {};
  jpeg_compress_struct info{};
  ErrorJump error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = leave;
  error.manager.output_message = quiet;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<uint8_t> row(size_t(image.width) * 3);
  // Nothing below allocates anything libjpeg does not own, so the jump leaves no leak behind.
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return {};
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(image.width);
  info.image_height = JDIMENSION(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const uint8_t* s = image.row(int(info.next_scanline));
    for (int x = 0; x < image.width; ++x) {
      row[size_t(x) * 3] = s[3 * x + 2];
      row[size_t(x) * 3 + 1] = s[3 * x + 1];
      row[size_t(x) * 3 + 2] = s[3 * x];
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> file(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return file;
}

}  // namespace tovala
