#include "model/hc_container.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "model/file_io.h"
#include "model/messages.h"
#include "platform/ui.h"

namespace tovala {
namespace {

constexpr size_t kRawLimit = 8;  // payloads below this are stored as they are
constexpr uint8_t kRepeatBit = 0x80;
constexpr unsigned kRepeatCountMax = 31;
constexpr unsigned kLiteralCountMax = 63;
constexpr size_t kInputPad = 16;   // zeros after the encoder's copy: the look-ahead reads them
constexpr size_t kOutputPad = 32;  // room for the decoder's whole-word stores past an operation

inline uint64_t load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

// 0x80 in every byte lane of x that is zero, 0 elsewhere (exact: no borrow between lanes).
inline uint64_t zeroLanes(uint64_t x) {
  constexpr uint64_t k7F = 0x7F7F7F7F7F7F7F7FULL;
  return ~(((x & k7F) + k7F) | x | k7F);
}

inline size_t firstLane(uint64_t mask) { return size_t(std::countr_zero(mask)) / 8; }

std::vector<uint8_t> header(size_t length) {
  return {'H', 'C', 0, 0, uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)};
}

// Output of the encoder: an uninitialised buffer that grows only when an operation would not fit.
class OutBuffer {
 public:
  explicit OutBuffer(size_t capacity) : buf_(new uint8_t[capacity]), cap_(capacity) {}
  void ensure(size_t more) {
    if (size_ + more <= cap_) return;
    const size_t grown = std::max(cap_ * 2, size_ + more);
    std::unique_ptr<uint8_t[]> next(new uint8_t[grown]);
    std::memcpy(next.get(), buf_.get(), size_);
    buf_ = std::move(next);
    cap_ = grown;
  }
  void put(uint8_t b) { buf_[size_++] = b; }
  void put(const uint8_t* p, size_t n) {
    std::memcpy(buf_.get() + size_, p, n);
    size_ += n;
  }
  std::vector<uint8_t> take() const { return std::vector<uint8_t>(buf_.get(), buf_.get() + size_); }

 private:
  std::unique_ptr<uint8_t[]> buf_;
  size_t cap_;
  size_t size_ = 0;
};

// The encoder works on a copy of the payload followed by zeros, so the 8-byte look-ahead window
// and the word-wise scans never need a bounds test of their own.
class Encoder {
 public:
  explicit Encoder(std::span<const uint8_t> payload)
      : len_(payload.size()), in_(payload.size() + kInputPad, 0), out_(2 * payload.size() + 64) {
    if (len_) std::memcpy(in_.data(), payload.data(), len_);
  }

  std::vector<uint8_t> run() {
    const std::vector<uint8_t> head = header(len_);
    out_.ensure(head.size());
    out_.put(head.data(), head.size());
    const uint8_t* in = in_.data();
    size_t n = 0;
    while (n < len_) {
      const uint8_t* w = in + n;
      if (w[0] == w[1] && w[1] == w[2] && w[2] == w[3]) {
        n = repeatByte(n);
      } else if (n + 4 < len_ && std::memcmp(w, w + 4, 4) == 0) {
        n = repeatPattern(n, 4);
      } else if (n + 3 < len_ && w[0] == w[3] && w[1] == w[4] && w[2] == w[5]) {
        n = repeatPattern(n, 3);
      } else if (n + 2 < len_ && w[0] == w[2] && w[1] == w[3]) {
        n = repeatPattern(n, 2);
      } else if (w[0] == w[1]) {
        n = repeatByte(n);
      } else {
        n = literal(n);
      }
    }
    return out_.take();
  }

 private:
  void count(uint8_t base, unsigned fieldMax, size_t value) {
    if (value < fieldMax) {
      out_.put(uint8_t(base | value));
      return;
    }
    out_.put(uint8_t(base | fieldMax));
    value -= fieldMax;
    for (; value >= 255; value -= 255) out_.put(255);
    out_.put(uint8_t(value));
  }

  // A run of the byte at n, as long as the input lasts.
  size_t repeatByte(size_t n) {
    const uint8_t b = in_[n];
    const uint64_t pattern = 0x0101010101010101ULL * b;
    size_t end = len_;
    for (size_t i = n + 1; i < len_; i += 8) {
      if (uint64_t x = load64(&in_[i]) ^ pattern) {
        end = std::min(len_, i + firstLane(x));
        break;
      }
    }
    const size_t times = end - n;
    out_.ensure(3 + times / 255);
    count(kRepeatBit, kRepeatCountMax, times);
    out_.put(b);
    return end;
  }

  // A repetition of the k bytes at n, known to recur at n + k. Patterns are counted while the
  // window (zero beyond the input) starts with the pattern and starts inside the input; the one
  // that reaches or passes the end is the last.
  size_t repeatPattern(size_t n, size_t k) {
    const uint8_t* in = in_.data();
    size_t periodic = len_;  // first index from n + k whose byte differs from the one k before
    for (size_t i = n + k; i < len_; i += 8) {
      if (uint64_t x = load64(in + i) ^ load64(in + i - k)) {
        periodic = std::min(len_, i + firstLane(x));
        break;
      }
    }
    const size_t whole = (periodic - n - k) / k;
    size_t times = 1 + whole;
    size_t p = n + k + whole * k;
    // A pattern cut by the end of the input still counts when the zeros past the end match it.
    if (p < len_ && periodic == len_ && std::memcmp(in + p, in + n, k) == 0) {
      ++times;
      p += k;
    }
    out_.ensure(3 + times / 255 + k);
    count(uint8_t(kRepeatBit | ((k - 1) << 5)), kRepeatCountMax, times);
    out_.put(in + n, k);
    return p;
  }

  // Bytes up to the next position whose window starts a repetition (the first byte is always
  // taken, so the encoder always advances).
  size_t literal(size_t n) {
    const uint8_t* in = in_.data();
    size_t end = len_;
    for (size_t m = n + 1; m < len_; m += 8) {
      const uint8_t* p = in + m;
      const uint64_t l0 = load64(p), l1 = load64(p + 1), l2 = load64(p + 2), l3 = load64(p + 3);
      const uint64_t l4 = load64(p + 4), l5 = load64(p + 5), l6 = load64(p + 6), l7 = load64(p + 7);
      const uint64_t stop = zeroLanes(l0 ^ l1) | zeroLanes((l0 ^ l2) | (l1 ^ l3)) |
                            zeroLanes((l0 ^ l3) | (l1 ^ l4) | (l2 ^ l5)) |
                            zeroLanes((l0 ^ l4) | (l1 ^ l5) | (l2 ^ l6) | (l3 ^ l7));
      if (stop) {
        end = std::min(len_, m + firstLane(stop));
        break;
      }
    }
    const size_t size = end - n;
    out_.ensure(3 + size / 255 + size);
    count(0, kLiteralCountMax, size);
    out_.put(in + n, size);
    return end;
  }

  size_t len_;
  std::vector<uint8_t> in_;
  OutBuffer out_;
};

// Reads a count continued by 255-chains; false when the input ends inside it.
inline bool readCount(const uint8_t* in, size_t size, size_t& i, size_t& value) {
  for (;;) {
    if (i >= size) return false;
    const uint8_t b = in[i++];
    value += b;
    if (b != 255) return true;
  }
}

// Writes `total` bytes repeating the k-byte pattern at p into out (room for kOutputPad extra).
inline void fillPattern(uint8_t* out, const uint8_t* p, size_t k, size_t total) {
  if (k == 1) {
    std::memset(out, p[0], total);
    return;
  }
  if (total <= 64) {
    // Build 16 bytes of whole patterns and store them in steps of whole patterns.
    uint8_t chunk[16];
    for (size_t j = 0; j < 16; ++j) chunk[j] = p[j % k];
    const size_t step = 16 - 16 % k;
    for (size_t done = 0; done < total; done += step) std::memcpy(out + done, chunk, 16);
    return;
  }
  std::memcpy(out, p, k);
  size_t filled = k;
  while (filled * 2 <= total) {
    std::memcpy(out + filled, out, filled);
    filled *= 2;
  }
  std::memcpy(out + filled, out, total - filled);
}

inline void store64(uint8_t* p, uint64_t v) {
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  std::memcpy(p, &v, 8);
}

// A k-byte pattern spread over a word: its bytes (masked out of a load) times a multiplier that
// places copies every k bytes; stores then step by the whole patterns the word holds.
constexpr uint64_t kPatternMask[5] = {0, 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF};
constexpr uint64_t kPatternSpread[5] = {0, 0x0101010101010101ULL, 0x0001000100010001ULL,
                                        0x0001000001000001ULL, 0x0000000100000001ULL};
constexpr size_t kPatternStep[5] = {0, 8, 8, 6, 8};

// Copies a literal of n bytes; short ones as one or two 16-byte moves when the input has the
// bytes to read (the output always has kOutputPad to spare).
inline void copyLiteral(uint8_t* out, const uint8_t* in, size_t n, size_t available) {
  if (n <= 16 && available >= 16) {
    std::memcpy(out, in, 16);
  } else if (n <= 32 && available >= 32) {
    std::memcpy(out, in, 16);
    std::memcpy(out + 16, in + 16, 16);
  } else {
    std::memcpy(out, in, n);
  }
}

}  // namespace

std::optional<std::vector<uint8_t>> encodeHc(std::span<const uint8_t> payload) {
  if (payload.size() > kHcMaxPayload) return std::nullopt;
  if (payload.size() < kRawLimit) {
    std::vector<uint8_t> out = header(payload.size());
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
  }
  return Encoder(payload).run();
}

size_t hcStoredLength(std::span<const uint8_t> file) {
  if (file.size() < kHcHeaderSize) return 0;
  return (size_t(file[4]) << 16) | (size_t(file[5]) << 8) | size_t(file[6]);
}

HcStatus decodeHc(std::span<const uint8_t> file, std::vector<uint8_t>& out) {
  const auto refuse = [&out](HcStatus status) {
    out.clear();
    return status;
  };
  if (file.size() < 2 || file[0] != 'H' || file[1] != 'C') return refuse(HcStatus::NotHc);
  if (file.size() < kHcHeaderSize) return refuse(HcStatus::Corrupt);
  const size_t length = hcStoredLength(file);
  const uint8_t* in = file.data();
  const size_t size = file.size();
  if (length < kRawLimit) {
    if (size < kHcHeaderSize + length) return refuse(HcStatus::Corrupt);
    out.assign(in + kHcHeaderSize, in + kHcHeaderSize + length);
    return HcStatus::Ok;
  }
  // A well-formed stream ends at most three bytes past the stored length; the buffer allows the
  // same slack as the editor's own, and anything that would run past it is refused. The buffer
  // is not cleared first: a caller decoding again into the same vector (frames, reloads) has it
  // filled with zeros only where it grows.
  const size_t cap = length + kHcDecodeSlack;
  out.resize(cap + kOutputPad);
  uint8_t* o = out.data();
  size_t written = 0;
  size_t i = kHcHeaderSize;
  bool ok = true;
  while (i < size) {
    const uint8_t control = in[i++];
    if (control & kRepeatBit) {
      const size_t k = size_t((control >> 5) & 3) + 1;
      size_t times = control & kRepeatCountMax;
      if (times == kRepeatCountMax && !readCount(in, size, i, times)) {
        ok = false;
        break;
      }
      // times is at most 255 per input byte, so times * k cannot overflow.
      if (k > size - i || times * k > cap - written) {
        ok = false;
        break;
      }
      const size_t total = times * k;
      if (total <= 64 && size - i >= 8) {
        // The common short run: no branch on the pattern length, and up to 24 bytes (every
        // pattern length's four stores reach that far) no loop either.
        const uint64_t word = (load64(in + i) & kPatternMask[k]) * kPatternSpread[k];
        const size_t step = kPatternStep[k];
        uint8_t* at = o + written;
        store64(at, word);
        store64(at + step, word);
        store64(at + 2 * step, word);
        store64(at + 3 * step, word);
        for (size_t done = 4 * step; done < total; done += step) store64(at + done, word);
      } else {
        fillPattern(o + written, in + i, k, total);
      }
      written += total;
      i += k;
    } else {
      size_t n = control & kLiteralCountMax;
      if (n == kLiteralCountMax && !readCount(in, size, i, n)) {
        ok = false;
        break;
      }
      if (n > size - i || n > cap - written) {
        ok = false;
        break;
      }
      copyLiteral(o + written, in + i, n, size - i);
      written += n;
      i += n;
    }
  }
  if (!ok || written < length) return refuse(HcStatus::Corrupt);
  out.resize(written);
  return HcStatus::Ok;
}

namespace {

// The source file's bytes, or nothing after showing the container's message.
std::optional<std::vector<uint8_t>> readSource(const std::string& path, Ui& ui) {
  if (path.empty()) {
    ui.message(msg::kNoFile, msg::kCaptionErrorLower);
    return std::nullopt;
  }
  auto data = readWholeFile(path);
  if (!data) ui.message(msg::kMissLoad, msg::kCaptionErrorLower);
  return data;
}

}  // namespace

std::optional<std::vector<uint8_t>> readHcFile(const std::string& path, Ui& ui) {
  auto file = readSource(path, ui);
  if (!file) return std::nullopt;
  std::vector<uint8_t> payload;
  if (decodeHc(*file, payload) != HcStatus::Ok) {
    // A stream that cannot be decoded is no more this format than one without the mark.
    ui.message(msg::kNotHcFile, msg::kCaptionErrorLower);
    return std::nullopt;
  }
  return payload;
}

bool encodeFile(const std::string& source, const std::string& destination, Ui& ui) {
  auto data = readSource(source, ui);
  if (!data) return false;
  auto encoded = encodeHc(*data);
  if (!encoded || destination.empty() || !writeFileAtomic(destination, *encoded)) {
    ui.message(msg::kSaveFailed, msg::kCaptionErrorLower);
    return false;
  }
  return true;
}

bool decodeFile(const std::string& source, const std::string& destination, Ui& ui) {
  auto payload = readHcFile(source, ui);
  if (!payload) return false;
  if (destination.empty() || !writeFileAtomic(destination, *payload)) {
    ui.message(msg::kSaveFailed, msg::kCaptionErrorLower);
    return false;
  }
  return true;
}

}  // namespace tovala
