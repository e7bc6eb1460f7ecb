#include "model/record_io.h"

#include <cstring>

namespace tovala {
namespace {

// Field lists are written once and walked by a writer or a reader, so the two directions cannot
// drift apart.
struct Put {
  ByteWriter& w;
  void operator()(int32_t v) { w.i32(v); }
  void operator()(uint32_t v) { w.u32(v); }
  void operator()(float v) { w.f32(v); }
  void operator()(double v) { w.f64(v); }
  void operator()(const std::array<float, 3>& a) {
    for (float f : a) w.f32(f);
  }
};

struct Get {
  ByteReader& r;
  void operator()(int32_t& v) { v = r.i32(); }
  void operator()(uint32_t& v) { v = r.u32(); }
  void operator()(float& v) { v = r.f32(); }
  void operator()(double& v) { v = r.f64(); }
  void operator()(std::array<float, 3>& a) {
    for (float& f : a) f = r.f32();
  }
};

// Everything of a point before its parameter count.
template <class Io, class Point>
void pointFields(Io& io, Point& p) {
  io(p.kind), io(p.nam), io(p.mode), io(p.sel), io(p.aux);
  io(p.vx), io(p.vy), io(p.vz), io(p.v0x), io(p.v0y), io(p.v0z);
  io(p.radx), io(p.rady), io(p.radz), io(p.vdx), io(p.vdy), io(p.vdz);
  io(p.unitX), io(p.unitY), io(p.unitZ);
  io(p.pww), io(p.pwh), io(p.pwa), io(p.pwk);
  io(p.spmin), io(p.spmax), io(p.spdspx), io(p.spdspy);
}

// Everything of a line before its parameter count.
template <class Io, class Line>
void lineFields(Io& io, Line& l) {
  io(l.kind), io(l.nam), io(l.mode), io(l.lmode), io(l.imgmode), io(l.sel), io(l.category);
  io(l.w), io(l.h), io(l.depth);
  io(l.vx), io(l.vy), io(l.vz), io(l.v0x), io(l.v0y), io(l.v0z);
  io(l.radx), io(l.rady), io(l.radz), io(l.vdx), io(l.vdy), io(l.vdz);
  io(l.rectx), io(l.recty), io(l.rectw), io(l.recth);
  io(l.cr), io(l.cb);
  io(l.brw), io(l.brh), io(l.bra), io(l.brk);
  io(l.spmin), io(l.spmax), io(l.spdspx), io(l.spdspy);
}

template <class Io, class Object>
void objectFields(Io& io, Object& o) {
  for (auto& h : o.header) io(h);
}

// The parameter and code arrays that follow the fixed part of a line or a point.
template <class Owner>
void writeLists(ByteWriter& w, const Owner& o) {
  w.i32(int32_t(o.params.size()));
  w.i32(o.paramChanged);
  for (const ParamEntry& e : o.params) {
    w.i32(e.key);
    w.i32(e.sub);
    w.u32(e.value);
  }
  w.i32(int32_t(o.code.size()));
  w.i32(o.codeChanged);
  for (const CodeEntry& c : o.code) {
    w.i32(c.flag);
    w.u32(c.code);
  }
}

template <class Owner>
bool readLists(ByteReader& r, Owner& o) {
  size_t n = 0;
  if (!readCount(r, 1, 12, n)) return false;
  o.paramChanged = r.i32();
  o.params.resize(n);
  for (ParamEntry& e : o.params) {
    e.key = r.i32();
    e.sub = r.i32();
    e.value = r.u32();
  }
  if (!readCount(r, 1, 8, n)) return false;
  o.codeChanged = r.i32();
  o.code.resize(n);
  for (CodeEntry& c : o.code) {
    c.flag = r.i32();
    c.code = r.u32();
  }
  return r.ok();
}

}  // namespace

bool readCount(ByteReader& r, int32_t minimum, size_t bytesEach, size_t& count) {
  const int32_t c = r.i32();
  if (!r.ok() || c < minimum || size_t(c) > r.remaining() / bytesEach) {
    r.fail();
    return false;
  }
  count = size_t(c);
  return true;
}

void writePoint(ByteWriter& w, const PointRecord& p) {
  Put put{w};
  pointFields(put, p);
  writeLists(w, p);
}

void writeLine(ByteWriter& w, const LineRecord& l) {
  Put put{w};
  lineFields(put, l);
  writeLists(w, l);
  w.i32(int32_t(l.points.size()));
  for (const PointRecord& p : l.points) writePoint(w, p);
}

bool readPoint(ByteReader& r, PointRecord& p) {
  Get get{r};
  pointFields(get, p);
  return readLists(r, p);
}

bool readLine(ByteReader& r, LineRecord& l) {
  Get get{r};
  lineFields(get, l);
  if (!readLists(r, l)) return false;
  size_t n = 0;
  if (!readCount(r, 1, kPointMinBytes, n)) return false;
  l.points.resize(n);
  for (PointRecord& p : l.points)
    if (!readPoint(r, p)) return false;
  return r.ok();
}

void writeObject(ByteWriter& w, const ObjectRecord& o) {
  Put put{w};
  objectFields(put, o);
  w.i32(kObjectEntries);
  for (int i = 0; i < kObjectEntries; ++i) {
    w.i32(o.a[size_t(i)]);
    w.i32(o.b[size_t(i)]);
    w.i32(o.c[size_t(i)]);
    w.i32(o.d[size_t(i)]);
  }
  w.bytes(o.name);
}

bool readObject(ByteReader& r, ObjectRecord& o) {
  Get get{r};
  objectFields(get, o);
  r.i32();  // entries per array: always 64, and the block is of fixed size either way
  for (int i = 0; i < kObjectEntries; ++i) {
    o.a[size_t(i)] = r.i32();
    o.b[size_t(i)] = r.i32();
    o.c[size_t(i)] = r.i32();
    o.d[size_t(i)] = r.i32();
  }
  r.bytes(o.name.data(), o.name.size());
  return r.ok();
}

void writeText(ByteWriter& w, const TextRecord& t) {
  w.i32(kTextRecordSize);
  w.i32(t.key);
  w.i32(t.length);
  w.bytes(t.font);
  w.i32(t.color);
  w.bytes(t.text);
}

bool readText(ByteReader& r, TextRecord& t) {
  r.i32();  // record size, always 200
  t.key = r.i32();
  t.length = r.i32();
  r.bytes(t.font.data(), t.font.size());
  t.color = r.i32();
  r.bytes(t.text.data(), t.text.size());
  // The length never exceeds the text field; a stored one that does is cut to it.
  if (t.length < 0) t.length = 0;
  if (t.length > kTextBytes) t.length = kTextBytes;
  return r.ok();
}

void writeImageEntry(ByteWriter& w, const ImageSlot* image) {
  w.i32(kBitmapInfoHeaderSize);
  if (!image || !image->present || image->header.size() < size_t(kBitmapInfoHeaderSize)) {
    w.bytes(blankBitmapHeader(0, 0));
    w.i32(0);
    return;
  }
  w.bytes(std::span<const uint8_t>(image->header.data(), kBitmapInfoHeaderSize));
  w.i32(int32_t(image->pixels.size()));
  w.bytes(image->pixels);
}

bool readImageEntry(ByteReader& r, ImageStore& store, int slot) {
  const int32_t headerSize = r.i32();
  if (!r.ok() || headerSize < kBitmapInfoHeaderSize || headerSize > kHeaderBufferSize) {
    r.fail();
    return false;
  }
  const std::span<const uint8_t> header = r.view(size_t(headerSize));
  size_t pixelBytes = 0;
  if (!readCount(r, 0, 1, pixelBytes)) return false;
  const std::span<const uint8_t> pixels = r.view(pixelBytes);
  if (!r.ok()) return false;
  ByteReader h(header);
  h.u32();
  const int32_t width = h.i32();
  const int32_t height = h.i32();
  if (width == 0 && height == 0) {
    store.release(slot);
    return true;
  }
  if (!store.setImage(slot, header, pixels)) {
    r.fail();
    return false;
  }
  return true;
}

}  // namespace tovala
