#pragma once
// Animated WebP files through libwebp's animation encoder. Frames are added in order as RGBA
// pictures with the time they start; the encoder keeps only what changed from frame to frame.
// Lossless keeps every pixel; lossy compresses at a high quality (90) and keeps alpha exactly.

#include <cstdint>
#include <span>
#include <vector>

struct WebPAnimEncoder;

namespace tovala {

class WebpAnimationWriter {
 public:
  WebpAnimationWriter() = default;
  WebpAnimationWriter(const WebpAnimationWriter&) = delete;
  WebpAnimationWriter& operator=(const WebpAnimationWriter&) = delete;
  ~WebpAnimationWriter();

  // Prepares an animation of width x height that loops for ever. False when libwebp refuses.
  bool start(int32_t width, int32_t height, bool lossless);
  // Adds a frame (width * height * 4 bytes, rows from the top) starting at `timeMs`, which
  // must rise from frame to frame. False when libwebp refuses (the writer is then unusable).
  bool add(std::span<const uint8_t> rgba, int timeMs);
  // The file's bytes, the last frame ending at `endMs`; empty when something failed.
  std::vector<uint8_t> finish(int endMs);

 private:
  WebPAnimEncoder* encoder_ = nullptr;
  int32_t width_ = 0, height_ = 0;
  bool lossless_ = true;
  bool failed_ = false;
};

}  // namespace tovala
