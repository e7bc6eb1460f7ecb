#pragma once
// Animated GIF files through giflib, built in two steps so that the costly one runs anywhere:
// quantizeGifFrame turns an RGBA picture into palette indices (on any thread, frames in any
// order), and GifAnimationWriter puts the frames into one looping file in order.
//
// A frame whose colours number at most 256 (255 with a transparent index) keeps them exactly;
// one with more gets a median-cut palette from giflib and is dithered onto it (error diffusion,
// the same for the same picture on any thread), so smooth gradients do not band. The file's global palette is the first
// frame's; a frame with another palette carries its own. An opaque frame after an opaque frame
// stores only the rectangle where the two differ, drawn over the one before.

#include <cstdint>
#include <span>
#include <vector>

struct GifFileType;

namespace tovala {

struct GifFrame {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> indices;  // one a pixel, rows from the top
  std::vector<uint8_t> palette;  // red, green, blue; 2, 4, ... or 256 entries
  int transparentIndex = -1;     // -1: none
};

// Palette indices for an RGBA picture (width * height * 4 bytes, rows from the top). With
// `transparent`, pixels less than half opaque take a transparent index; otherwise alpha is
// ignored. False when a side is not positive or the bytes are too few.
bool quantizeGifFrame(std::span<const uint8_t> rgba, int32_t width, int32_t height,
                      bool transparent, GifFrame& out);

// How long frame `frame` (from 0) shows at `fps`, in hundredths of a second: each frame ends
// where its time rounds to, so the delays add up to the animation's duration. Viewers show
// delays under 2 slower, so rates above 50 play slower than asked.
int gifDelay(int frame, int fps);

class GifAnimationWriter {
 public:
  GifAnimationWriter() = default;
  GifAnimationWriter(const GifAnimationWriter&) = delete;
  GifAnimationWriter& operator=(const GifAnimationWriter&) = delete;
  ~GifAnimationWriter();

  // Adds a frame shown for `delay` hundredths of a second; every frame must have the first's
  // size. False when giflib refuses (the writer is then unusable).
  bool add(const GifFrame& frame, int delay);
  // The file's bytes once every frame is in; empty when nothing was added or giflib failed.
  std::vector<uint8_t> finish();

 private:
  struct Area {
    int32_t left, top, right, bottom;  // right and bottom excluded
  };
  bool start(const GifFrame& first);
  // Where `frame` differs from the frame shown before it (all of it when either is transparent).
  Area changedArea(const GifFrame& frame) const;

  GifFileType* gif_ = nullptr;
  std::vector<uint8_t> shown_, shownPalette_;  // the frame before: indices and palette
  bool shownTransparent_ = false;
  std::vector<uint8_t> bytes_;
  std::vector<uint8_t> globalPalette_;
  int32_t width_ = 0, height_ = 0;
  bool failed_ = false;
};

}  // namespace tovala
