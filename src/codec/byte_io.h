#pragma once
// Bounds-checked little-endian reading and writing. Every binary format goes through these:
// a read past the end sets a sticky failure flag and yields zeros instead of touching memory.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace tovala {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

  bool ok() const { return ok_; }
  size_t position() const { return pos_; }
  size_t remaining() const { return ok_ ? data_.size() - pos_ : 0; }
  void fail() { ok_ = false; }

  uint8_t u8() {
    if (!need(1)) return 0;
    return data_[pos_++];
  }
  uint16_t u16() {
    if (!need(2)) return 0;
    uint16_t v = uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  uint32_t u32() {
    if (!need(4)) return 0;
    uint32_t v = uint32_t(data_[pos_]) | (uint32_t(data_[pos_ + 1]) << 8) |
                 (uint32_t(data_[pos_ + 2]) << 16) | (uint32_t(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
  }
  uint64_t u64() {
    uint64_t lo = u32();
    uint64_t hi = u32();
    return lo | (hi << 32);
  }
  int16_t i16() { return std::bit_cast<int16_t>(u16()); }
  int32_t i32() { return std::bit_cast<int32_t>(u32()); }
  float f32() { return std::bit_cast<float>(u32()); }
  double f64() { return std::bit_cast<double>(u64()); }

  // Copies n bytes into out (n must fit); fails without copying when fewer remain.
  bool bytes(uint8_t* out, size_t n) {
    if (!need(n)) return false;
    if (n) std::memcpy(out, data_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  // A view of the next n bytes, or an empty span (and failure) when fewer remain.
  std::span<const uint8_t> view(size_t n) {
    if (!need(n)) return {};
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
  }
  bool skip(size_t n) {
    if (!need(n)) return false;
    pos_ += n;
    return true;
  }
  bool seek(size_t pos) {
    if (!ok_ || pos > data_.size()) {
      ok_ = false;
      return false;
    }
    pos_ = pos;
    return true;
  }

 private:
  bool need(size_t n) {
    if (!ok_ || n > data_.size() - pos_) {
      ok_ = false;
      return false;
    }
    return true;
  }

  std::span<const uint8_t> data_;
  size_t pos_ = 0;
  bool ok_ = true;
};

class ByteWriter {
 public:
  std::vector<uint8_t>& buffer() { return buf_; }
  std::vector<uint8_t> take() { return std::move(buf_); }
  size_t size() const { return buf_.size(); }

  void u8(uint8_t v) { buf_.push_back(v); }
  void u16(uint16_t v) {
    buf_.push_back(uint8_t(v));
    buf_.push_back(uint8_t(v >> 8));
  }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) buf_.push_back(uint8_t(v >> (8 * i)));
  }
  void u64(uint64_t v) {
    u32(uint32_t(v));
    u32(uint32_t(v >> 32));
  }
  void i16(int16_t v) { u16(std::bit_cast<uint16_t>(v)); }
  void i32(int32_t v) { u32(std::bit_cast<uint32_t>(v)); }
  void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
  void f64(double v) { u64(std::bit_cast<uint64_t>(v)); }
  void bytes(std::span<const uint8_t> b) { buf_.insert(buf_.end(), b.begin(), b.end()); }
  void zeros(size_t n) { buf_.insert(buf_.end(), n, 0); }
  // Overwrites 4 bytes at an earlier position (for sizes known only at the end).
  void patchU32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) buf_[at + size_t(i)] = uint8_t(v >> (8 * i));
  }

 private:
  std::vector<uint8_t> buf_;
};

}  // namespace tovala
