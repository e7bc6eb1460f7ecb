#include "model/jpeg_file.h"

// jpeglib.h needs FILE and size_t declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
// jerror.h after jpeglib.h, whose types it uses.
#include <jerror.h>

#include <algorithm>

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
  jpeg_read_header(&info, TRUE);

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
  return true;
}

}  // namespace tovala
