#include "model/parts_file.h"

#include "codec/byte_io.h"
#include "model/document.h"
#include "model/parts_remap.h"
#include "model/project_file.h"
#include "model/record_io.h"
#include "platform/ui.h"

namespace tovala {
namespace {

constexpr size_t kTableEntryBytes = 12;

struct PartsContent {
  std::vector<PartsTableEntry> table;
  std::vector<LineRecord> lines;
  std::vector<ObjectRecord> objects;
};

bool parseParts(std::span<const uint8_t> payload, PartsContent& c) {
  ByteReader r(payload);
  r.i32();  // magic, not checked
  size_t n = 0, m = 0;
  if (!readCount(r, 0, kTableEntryBytes, n)) return false;
  if (!readCount(r, 0, kLineMinBytes, m)) return false;
  c.table.resize(n);
  for (PartsTableEntry& e : c.table) {
    e.newIndex = r.i32();
    e.nam = r.i32();
    r.i32();
  }
  if (!r.ok() || m > r.remaining() / kLineMinBytes) return false;
  c.lines.resize(m);
  for (LineRecord& l : c.lines) {
    if (!readLine(r, l)) return false;
    l.sel = 1;
  }
  size_t objectCount = 0;
  if (!readCount(r, 0, kObjectBlockBytes, objectCount)) return false;
  c.objects.resize(objectCount);
  for (ObjectRecord& o : c.objects)
    if (!readObject(r, o)) return false;
  return r.ok();
}

}  // namespace

std::vector<uint8_t> writePartsPayload(const Document& doc) {
  ByteWriter w;
  const int n = doc.lineCount() - 1;
  int m = 0;
  for (int i = 0; i < n; ++i) m += doc.lines[size_t(i)].sel == 1;
  w.i32(kPartsMagic);
  w.i32(n);
  w.i32(m);
  int next = 0;
  for (int i = 0; i < n; ++i) {
    const LineRecord& l = doc.lines[size_t(i)];
    w.i32(l.sel == 1 ? next++ : -1);
    w.i32(l.nam);
    w.i32(0);
  }
  for (int i = 0; i < n; ++i)
    if (doc.lines[size_t(i)].sel == 1) writeLine(w, doc.lines[size_t(i)]);
  w.i32(doc.objectCount());
  for (const ObjectRecord& o : doc.objects) writeObject(w, o);
  return w.take();
}

bool mergePartsPayload(Document& doc, std::span<const uint8_t> payload) {
  PartsContent c;
  if (!parseParts(payload, c)) return false;
  // Stored lines go where the sentinel is now, one after another.
  if (doc.lines.empty()) doc.lines.push_back(doc.makeDefaultLine());
  const int base = doc.lineCount() - 1;
  for (PartsTableEntry& e : c.table)
    if (e.newIndex >= 0) e.newIndex += base;
  for (LineRecord& l : c.lines) {
    doc.lines.back() = std::move(l);
    doc.lines.push_back(doc.makeDefaultLine());
    doc.lineOrder.push_back(doc.lineCount() - 1);
  }
  const PartsRemap remap(doc, c.table);
  for (size_t i = 0; i < c.lines.size(); ++i) remap.remapLine(doc.lines[size_t(base) + i]);
  // Objects keep the document's sentinel object last.
  for (ObjectRecord& o : c.objects) {
    if (!remap.remapObject(o)) continue;
    const auto at = doc.objects.empty() ? doc.objects.end() : doc.objects.end() - 1;
    doc.objects.insert(at, o);
  }
  return true;
}

bool saveParts(const Document& doc, const std::string& path, bool compressed) {
  return writePayloadFile(*doc.ui, path, writePartsPayload(doc), compressed);
}

bool loadParts(Document& doc, const std::string& path, bool compressed) {
  return loadPayloadFile(*doc.ui, path, compressed, [&doc](std::span<const uint8_t> payload) {
    return mergePartsPayload(doc, payload);
  });
}

}  // namespace tovala
