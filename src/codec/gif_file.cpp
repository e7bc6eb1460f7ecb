#include "codec/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>

namespace tovala {

namespace {

constexpr int kOpaqueFrom = 128;  // alpha at which a pixel keeps its colour

bool isHidden(const uint8_t* px, bool transparent) { return transparent && px[3] < kOpaqueFrom; }
uint32_t colourOf(const uint8_t* px) {
  return uint32_t(px[0]) << 16 | uint32_t(px[1]) << 8 | uint32_t(px[2]);
}

// The distinct colours of a picture while there are at most `limit`, each with its index.
class ColourTable {
 public:
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;
  ColourTable() { keys_.fill(kEmpty); }
  // The colour's index, adding it when new; -1 when the table already holds `limit` colours.
  int find(uint32_t colour, int limit) {
    size_t at = (colour * 2654435761u) >> 22;
    while (keys_[at] != kEmpty) {
      if (keys_[at] == colour) return index_[at];
      at = (at + 1) & (kSlots - 1);
    }
    if (count_ == limit) return -1;
    keys_[at] = colour;
    index_[at] = uint8_t(count_);
    order_[size_t(count_)] = colour;
    return count_++;
  }
  int count() const { return count_; }
  uint32_t colour(int i) const { return order_[size_t(i)]; }

 private:
  static constexpr size_t kSlots = 1024;  // four times the most colours kept
  std::array<uint32_t, kSlots> keys_;
  std::array<uint8_t, kSlots> index_{};
  std::array<uint32_t, 256> order_{};
  int count_ = 0;
};

// Entries for a palette of `used` colours: the next power of two, at least 2.
int paletteEntries(int used) {
  int n = 2;
  while (n < used) n *= 2;
  return n;
}

// The exact palette, or false when the picture has more than `limit` colours.
bool exactPalette(const uint8_t* rgba, size_t pixels, bool transparent, int limit, GifFrame& out) {
  ColourTable table;
  uint32_t last = ColourTable::kEmpty;
  int lastIndex = 0;
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* px = rgba + 4 * i;
    if (isHidden(px, transparent)) continue;
    const uint32_t c = colourOf(px);
    if (c != last) {
      lastIndex = table.find(c, limit);
      if (lastIndex < 0) return false;
      last = c;
    }
    out.indices[i] = uint8_t(lastIndex);
  }
  const int used = table.count() + (transparent ? 1 : 0);
  out.palette.assign(size_t(3 * paletteEntries(used)), 0);
  for (int i = 0; i < table.count(); ++i) {
    const uint32_t c = table.colour(i);
    out.palette[size_t(3 * i)] = uint8_t(c >> 16);
    out.palette[size_t(3 * i + 1)] = uint8_t(c >> 8);
    out.palette[size_t(3 * i + 2)] = uint8_t(c);
  }
  if (transparent) {
    out.transparentIndex = table.count();
    for (size_t i = 0; i < pixels; ++i)
      if (isHidden(rgba + 4 * i, true)) out.indices[i] = uint8_t(out.transparentIndex);
  }
  return true;
}

// The palette entry nearest a colour, remembered for each cell of 4 x 4 x 4 colours (the
// nearest to the cell's middle), so a frame searches the palette once per cell it uses.
class NearestEntry {
 public:
  NearestEntry(const uint8_t* palette, int entries)
      : palette_(palette), entries_(entries), cells_(size_t(1) << 18, -1) {}
  int find(int r, int g, int b) {
    int16_t& cell = cells_[size_t(r >> 2) << 12 | size_t(g >> 2) << 6 | size_t(b >> 2)];
    if (cell < 0) cell = int16_t(search((r & ~3) + 2, (g & ~3) + 2, (b & ~3) + 2));
    return cell;
  }

 private:
  int search(int r, int g, int b) const {
    int best = 0, bestDistance = INT32_MAX;
    for (int i = 0; i < entries_; ++i) {
      const uint8_t* c = palette_ + 3 * i;
      const int dr = r - c[0], dg = g - c[1], db = b - c[2];
      const int distance = dr * dr + dg * dg + db * db;
      if (distance < bestDistance) best = i, bestDistance = distance;
    }
    return best;
  }
  const uint8_t* palette_;
  int entries_;
  std::vector<int16_t> cells_;
};

// Floyd-Steinberg error diffusion of the picture onto the palette's first `entries` colours,
// left to right and top to bottom, so that smooth gradients keep their local mean instead of
// falling into bands. Hidden pixels take no index and pass no error on.
void ditherOnto(const uint8_t* rgba, int32_t width, int32_t height, bool transparent,
                const uint8_t* palette, int entries, uint8_t* indices) {
  NearestEntry nearest(palette, entries);
  // Errors in sixteenths for this row and the next, with a pixel of margin either side.
  const size_t span = 3 * (size_t(width) + 2);
  std::vector<int32_t> errors(2 * span, 0);
  int32_t* here = errors.data();
  int32_t* below = here + span;
  for (int32_t y = 0; y < height; ++y) {
    std::fill(below, below + span, 0);
    for (int32_t x = 0; x < width; ++x) {
      const size_t i = size_t(y) * size_t(width) + size_t(x);
      const uint8_t* px = rgba + 4 * i;
      if (isHidden(px, transparent)) continue;
      int want[3];
      for (size_t k = 0; k < 3; ++k)
        want[k] = std::clamp(px[k] + ((here[3 * size_t(x + 1) + k] + 8) >> 4), 0, 255);
      const int index = nearest.find(want[0], want[1], want[2]);
      indices[i] = uint8_t(index);
      for (size_t k = 0; k < 3; ++k) {
        const int32_t error = want[k] - palette[3 * size_t(index) + k];
        here[3 * size_t(x + 2) + k] += 7 * error;
        below[3 * size_t(x) + k] += 3 * error;
        below[3 * size_t(x + 1) + k] += 5 * error;
        below[3 * size_t(x + 2) + k] += error;
      }
    }
    std::swap(here, below);
  }
}

// giflib's median cut over `limit` colours, with the picture dithered onto it.
bool cutPalette(const uint8_t* rgba, size_t pixels, int32_t width, int32_t height,
                bool transparent, int limit, GifFrame& out) {
  std::vector<GifByteType> planes(3 * pixels);
  for (size_t i = 0; i < pixels; ++i)
    for (size_t k = 0; k < 3; ++k) planes[k * pixels + i] = rgba[4 * i + k];
  std::array<GifColorType, 256> map{};
  int size = limit;
  // giflib's quantizer sorts through a variable of its own shared by every call, so frames cut
  // on two threads at once spoil each other's palettes: one cut at a time.
  static std::mutex quantizer;
  {
    const std::lock_guard<std::mutex> one(quantizer);
    if (GifQuantizeBuffer(unsigned(width), unsigned(height), &size, planes.data(),
                          planes.data() + pixels, planes.data() + 2 * pixels, out.indices.data(),
                          map.data()) != GIF_OK)
      return false;
  }
  size = std::clamp(size, 1, limit);
  out.palette.assign(3 * 256, 0);
  for (size_t i = 0; i < size_t(limit); ++i) {
    out.palette[3 * i] = map[i].Red;
    out.palette[3 * i + 1] = map[i].Green;
    out.palette[3 * i + 2] = map[i].Blue;
  }
  ditherOnto(rgba, width, height, transparent, out.palette.data(), size, out.indices.data());
  if (transparent) {
    out.transparentIndex = limit;
    for (size_t i = 0; i < pixels; ++i)
      if (isHidden(rgba + 4 * i, true)) out.indices[i] = uint8_t(limit);
  }
  return true;
}

int writeToVector(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

// A giflib colour map of the palette; null when giflib cannot make one.
ColorMapObject* makeMap(const std::vector<uint8_t>& palette) {
  const int entries = int(palette.size() / 3);
  ColorMapObject* map = GifMakeMapObject(entries, nullptr);
  if (!map) return nullptr;
  for (int i = 0; i < entries; ++i) {
    map->Colors[i].Red = palette[size_t(3 * i)];
    map->Colors[i].Green = palette[size_t(3 * i + 1)];
    map->Colors[i].Blue = palette[size_t(3 * i + 2)];
  }
  return map;
}

}  // namespace

bool quantizeGifFrame(std::span<const uint8_t> rgba, int32_t width, int32_t height,
                      bool transparent, GifFrame& out) {
  if (width <= 0 || height <= 0) return false;
  const size_t pixels = size_t(width) * size_t(height);
  if (rgba.size() < 4 * pixels) return false;
  out.width = width;
  out.height = height;
  out.transparentIndex = -1;
  out.indices.assign(pixels, 0);
  const int limit = transparent ? 255 : 256;
  if (exactPalette(rgba.data(), pixels, transparent, limit, out)) return true;
  out.transparentIndex = -1;
  return cutPalette(rgba.data(), pixels, width, height, transparent, limit, out);
}

int gifDelay(int frame, int fps) {
  if (fps <= 0) return 0;
  const auto end = [fps](int f) { return int(std::lround(100.0 * f / fps)); };
  return end(frame + 1) - end(frame);
}

GifAnimationWriter::Area GifAnimationWriter::changedArea(const GifFrame& frame) const {
  const Area whole{0, 0, width_, height_};
  // A transparent frame replaces all of the one before it (which is cleared away).
  if (shown_.empty() || shownTransparent_ || frame.transparentIndex >= 0) return whole;
  const bool samePalette = frame.palette == shownPalette_;
  const auto differs = [&](size_t i) {
    const size_t a = frame.indices[i], b = shown_[i];
    if (samePalette) return a != b;
    return std::memcmp(&frame.palette[3 * a], &shownPalette_[3 * b], 3) != 0;
  };
  Area area{width_, height_, 0, 0};
  for (int32_t y = 0; y < height_; ++y) {
    const size_t row = size_t(y) * size_t(width_);
    if (samePalette && std::memcmp(&frame.indices[row], &shown_[row], size_t(width_)) == 0)
      continue;
    int32_t first = 0, last = width_ - 1;
    while (first <= last && !differs(row + size_t(first))) ++first;
    if (first > last) continue;
    while (!differs(row + size_t(last))) --last;
    area.left = std::min(area.left, first);
    area.right = std::max(area.right, last + 1);
    area.top = std::min(area.top, y);
    area.bottom = y + 1;
  }
  // Nothing changed: one pixel, drawn as it was.
  if (area.right <= area.left) return Area{0, 0, 1, 1};
  return area;
}

GifAnimationWriter::~GifAnimationWriter() {
  if (gif_) EGifCloseFile(gif_, nullptr);
}

bool GifAnimationWriter::start(const GifFrame& first) {
  int error = 0;
  gif_ = EGifOpen(&bytes_, writeToVector, &error);
  if (!gif_) return false;
  EGifSetGifVersion(gif_, true);
  width_ = first.width;
  height_ = first.height;
  globalPalette_ = first.palette;
  ColorMapObject* map = makeMap(globalPalette_);
  const bool ok = map && EGifPutScreenDesc(gif_, width_, height_, 8, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  if (!ok) return false;
  // Loop for ever: the application extension browsers and viewers look for.
  static const GifByteType kLoopName[] = "NETSCAPE2.0";
  const GifByteType loop[3] = {1, 0, 0};
  return EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif_, 11, kLoopName) == GIF_OK &&
         EGifPutExtensionBlock(gif_, 3, loop) == GIF_OK &&
         EGifPutExtensionTrailer(gif_) == GIF_OK;
}

bool GifAnimationWriter::add(const GifFrame& frame, int delay) {
  if (failed_) return false;
  const size_t pixels = size_t(frame.width) * size_t(frame.height);
  if (frame.width <= 0 || frame.height <= 0 || frame.indices.size() != pixels ||
      frame.palette.size() < 6 || (!gif_ && !start(frame)) || frame.width != width_ ||
      frame.height != height_) {
    failed_ = true;
    return false;
  }
  // A transparent frame clears to the background before the next, so nothing shows through
  // from the frame before it.
  GraphicsControlBlock gcb{};
  gcb.DisposalMode = frame.transparentIndex >= 0 ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
  gcb.DelayTime = std::clamp(delay, 0, 65535);
  gcb.TransparentColor = frame.transparentIndex >= 0 ? frame.transparentIndex : NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const size_t extensionLength = EGifGCBToExtension(&gcb, extension);
  ColorMapObject* local = frame.palette == globalPalette_ ? nullptr : makeMap(frame.palette);
  const Area area = changedArea(frame);
  bool ok =
      EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, int(extensionLength), extension) == GIF_OK &&
      (local || frame.palette == globalPalette_) &&
      EGifPutImageDesc(gif_, area.left, area.top, area.right - area.left,
                       area.bottom - area.top, false, local) == GIF_OK;
  for (int32_t y = area.top; ok && y < area.bottom; ++y) {
    auto* row = const_cast<GifByteType*>(&frame.indices[size_t(y) * size_t(width_)]);
    ok = EGifPutLine(gif_, row + area.left, area.right - area.left) == GIF_OK;
  }
  GifFreeMapObject(local);
  shown_ = frame.indices;
  shownPalette_ = frame.palette;
  shownTransparent_ = frame.transparentIndex >= 0;
  // giflib keeps a copy of a frame's own palette and drops it unfreed when the next frame has
  // none, so it is let go here.
  GifFreeMapObject(gif_->Image.ColorMap);
  gif_->Image.ColorMap = nullptr;
  failed_ = !ok;
  return ok;
}

std::vector<uint8_t> GifAnimationWriter::finish() {
  if (!gif_ || failed_) return {};
  const bool ok = EGifCloseFile(gif_, nullptr) == GIF_OK;
  gif_ = nullptr;
  if (!ok) return {};
  return std::move(bytes_);
}

}  // namespace tovala
