#include "codec/bmp.h"

#include <algorithm>
#include <array>
#include <bit>

#include "codec/byte_io.h"

namespace tovala {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

struct InfoHeader {
  uint32_t size = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bits = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::array<uint32_t, 3> masks{};  // red, green, blue
  std::array<uint8_t, kBitmapInfoHeaderSize> raw{};
};

// One colour channel of a bit-field pixel: where it sits and how to stretch it to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = std::bit_width(m >> shift);
  }
  // Narrow channels are widened by repeating their bits, so full scale stays full scale.
  uint8_t extract(uint32_t px) const {
    if (bits == 0) return 0;
    const uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return uint8_t(v >> (bits - 8));
    uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
      out = (out << bits) | v;
      filled += bits;
    }
    return uint8_t(out >> (filled - 8));
  }
};

bool readInfoHeader(ByteReader& r, InfoHeader& h) {
  const size_t start = r.position();
  h.size = r.u32();
  if (!r.ok() || (h.size != 40 && h.size != 52 && h.size != 56 && h.size != 108 && h.size != 124))
    return false;
  h.width = r.i32();
  h.height = r.i32();
  r.u16();  // planes
  h.bits = r.u16();
  h.compression = r.u32();
  r.u32();  // image size: recomputed, many writers leave it 0
  r.u32();
  r.u32();
  h.colorsUsed = r.u32();
  r.u32();
  if (h.size > 40) {
    for (uint32_t& m : h.masks) m = r.u32();
  }
  if (!r.ok()) return false;
  r.seek(start);
  r.bytes(h.raw.data(), h.raw.size());
  return r.seek(start + h.size);
}

std::array<uint32_t, 3> defaultMasks(uint16_t bits) {
  if (bits == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0x00FF0000, 0x0000FF00, 0x000000FF};
}

}  // namespace

bool decodeBmp(std::span<const uint8_t> file, ImageSlot& out) {
  out = ImageSlot{};
  ByteReader r(file);
  if (r.u16() != kBmpType) return false;
  r.u32();  // file size: the bytes we hold count, not the claim
  r.u32();  // reserved
  const uint32_t dataOffset = r.u32();
  InfoHeader h;
  if (!r.ok() || !readInfoHeader(r, h)) return false;

  const bool paletted = h.bits == 1 || h.bits == 4 || h.bits == 8;
  const bool direct = h.bits == 16 || h.bits == 24 || h.bits == 32;
  if (!paletted && !direct) return false;
  const bool bitfields = h.compression == kBiBitfields || h.compression == kBiAlphaBitfields;
  if (h.compression != kBiRgb && !(bitfields && (h.bits == 16 || h.bits == 32))) return false;
  if (h.width <= 0 || h.height == 0 || h.width > kMaxPictureSide ||
      h.height < -kMaxPictureSide || h.height > kMaxPictureSide)
    return false;
  const bool topDown = h.height < 0;
  const int32_t height = topDown ? -h.height : h.height;
  if (uint64_t(strideFor(h.width)) * uint64_t(height) > kMaxPictureBytes) return false;

  // Bit-field masks follow a 40-byte header; the longer headers carry them inside.
  std::array<uint32_t, 3> masks = defaultMasks(h.bits);
  if (bitfields) {
    if (h.size == 40) {
      masks = {r.u32(), r.u32(), r.u32()};
      if (h.compression == kBiAlphaBitfields) r.u32();
    } else {
      masks = h.masks;
    }
  }

  uint32_t entries = h.colorsUsed;
  if (entries == 0 && paletted) entries = 1u << h.bits;
  if (paletted && entries > 256) return false;
  if (entries > (r.remaining() / 4)) return false;
  std::array<uint32_t, 256> palette{};  // 0x00BBGGRR; indices past the table read as black
  for (uint32_t e = 0; e < entries; ++e) {
    uint32_t bgrx = r.u32();
    if (e < palette.size())
      palette[e] = ((bgrx & 0xFF) << 16) | (bgrx & 0xFF00) | ((bgrx >> 16) & 0xFF);
  }
  if (!r.ok()) return false;

  // Pixels normally follow the table; honour a later offset that writers use for padding.
  size_t pixelStart = r.position();
  if (dataOffset > pixelStart && dataOffset < file.size()) pixelStart = dataOffset;
  const uint64_t srcStride = ((uint64_t(h.width) * h.bits + 31) / 32) * 4;
  if (pixelStart > file.size() || srcStride * uint64_t(height) > file.size() - pixelStart)
    return false;

  out.present = true;
  out.width = h.width;
  out.height = height;
  out.stride = strideFor(h.width);
  out.size = uint32_t(out.stride) * uint32_t(height);
  out.pixels.assign(out.size, 0);

  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  for (int32_t fileRow = 0; fileRow < height; ++fileRow) {
    const uint8_t* src = file.data() + pixelStart + srcStride * uint64_t(fileRow);
    // File rows run bottom-up unless the height was negative.
    const int y = topDown ? fileRow : height - 1 - fileRow;
    uint8_t* dst = out.row(y);
    for (int32_t x = 0; x < h.width; ++x, dst += 3) {
      uint32_t colour = 0;
      switch (h.bits) {
        case 1: colour = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: colour = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
        case 8: colour = palette[src[x]]; break;
        case 24: {
          const uint8_t* p = src + 3 * x;
          colour = uint32_t(p[2]) | (uint32_t(p[1]) << 8) | (uint32_t(p[0]) << 16);
          break;
        }
        case 16:
        case 32: {
          const int bytes = h.bits / 8;
          uint32_t px = 0;
          for (int b = 0; b < bytes; ++b) px |= uint32_t(src[bytes * x + b]) << (8 * b);
          colour = uint32_t(red.extract(px)) | (uint32_t(green.extract(px)) << 8) |
                   (uint32_t(blue.extract(px)) << 16);
          break;
        }
      }
      dst[0] = uint8_t(colour >> 16);
      dst[1] = uint8_t(colour >> 8);
      dst[2] = uint8_t(colour);
    }
  }

  // A plain 24-bit file keeps its own header; anything converted gets a fresh one.
  if (h.bits == 24 && h.size == 40 && !topDown) {
    out.header.assign(h.raw.begin(), h.raw.end());
    ByteWriter fix;
    fix.u32(out.size);
    std::copy(fix.buffer().begin(), fix.buffer().end(), out.header.begin() + 20);
  } else {
    out.header = blankBitmapHeader(out.width, out.height);
  }
  return true;
}

std::vector<uint8_t> encodeBmp(const ImageSlot& image) {
  std::vector<uint8_t> header = blankBitmapHeader(image.width, image.height);
  if (image.header.size() >= size_t(kBitmapInfoHeaderSize)) {
    // Keep the stored resolution; everything else describes the 24-bit data we write.
    std::copy(image.header.begin() + 24, image.header.begin() + 32, header.begin() + 24);
  }
  ByteWriter w;
  const uint32_t offset = 14 + kBitmapInfoHeaderSize;
  w.u16(kBmpType);
  w.u32(offset + image.size);
  w.u16(0);
  w.u16(0);
  w.u32(offset);
  w.bytes(header);
  w.bytes(std::span<const uint8_t>(image.pixels.data(), image.size));
  return w.take();
}

}  // namespace tovala
