#include "model/project_file.h"

#include <algorithm>
#include <string_view>

#include "codec/byte_io.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/hc_container.h"
#include "model/messages.h"
#include "model/record_io.h"
#include "platform/ui.h"

namespace tovala {
namespace {

constexpr int32_t kProjectVersion = 0;

// The refusal names the largest square; both numbers are written out in messages.h.
static_assert(kLargestSquareCanvas == 2364);
static_assert(std::string_view(msg::kCanvasTooLarge).find("2364×2364") != std::string_view::npos);
static_assert(kHcMaxPayload == 16777215);
static_assert(std::string_view(msg::kTooLargeToSave).find("16777215") != std::string_view::npos);

// Everything a project file holds, read apart from the document so that a refused file changes
// nothing.
struct ProjectContent {
  float vext[3] = {};
  float rad[3] = {};
  std::vector<LineRecord> lines;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t backColor = 0;
  ImageStore userImages;  // the user images, then the (still empty) sentinel slot
  std::vector<int32_t> keys;
  ImageStore underlay;  // one slot: work image 7
  float modelScale = 1.0f;
  std::vector<int32_t> lineOrder;
  std::vector<ObjectRecord> objects;
  std::vector<TextRecord> texts;
};

bool parseProject(std::span<const uint8_t> payload, ProjectContent& c) {
  ByteReader r(payload);
  r.i32();  // version
  size_t lineCount = 0;
  if (!readCount(r, 1, kLineMinBytes, lineCount)) return false;
  for (float& v : c.vext) v = r.f32();
  for (float& v : c.rad) v = r.f32();
  c.lines.resize(lineCount);
  for (LineRecord& l : c.lines) {
    if (!readLine(r, l)) return false;
    l.sel = 1;
  }
  r.i32();  // reserved
  c.width = r.i32();
  c.height = r.i32();
  c.backColor = r.u32();
  if (!r.ok() || c.width < 1 || c.height < 1 || c.width > kMaxCanvasSide ||
      c.height > kMaxCanvasSide)
    return false;

  size_t slots = 0;
  if (!readCount(r, 1, kImageEntryMinBytes, slots)) return false;
  c.userImages.initStore(int(slots));
  c.keys.resize(slots);
  for (size_t i = 0; i + 1 < slots; ++i) {
    if (!readImageEntry(r, c.userImages, int(i))) return false;
    c.keys[i] = r.i32();
  }
  c.underlay.initStore(1);
  if (!readImageEntry(r, c.underlay, 0)) return false;
  c.modelScale = r.f32();

  if (!r.ok() || lineCount > r.remaining() / 4) return false;
  c.lineOrder.resize(lineCount);
  for (int32_t& e : c.lineOrder) e = r.i32();

  size_t objectCount = 0;
  if (!readCount(r, 0, kObjectBlockBytes, objectCount)) return false;
  c.objects.resize(objectCount);
  for (ObjectRecord& o : c.objects)
    if (!readObject(r, o)) return false;

  size_t textCount = 0;
  if (!readCount(r, 1, kTextBlockBytes, textCount)) return false;
  c.texts.resize(textCount);
  for (TextRecord& t : c.texts)
    if (!readText(r, t)) return false;
  return r.ok();
}

// The key the sentinel slot carries: the one the next loaded image will get.
int32_t nextImageKey(const std::vector<int32_t>& keys, size_t stored) {
  if (stored == 0) return 0;
  uint32_t largest = 0;
  for (size_t i = 0; i < stored; ++i) largest = std::max(largest, uint32_t(keys[i]));
  return int32_t(largest + 1);
}

void applyProject(Document& doc, ProjectContent&& c) {
  doc.clear();
  doc.VextX = c.vext[0], doc.VextY = c.vext[1], doc.VextZ = c.vext[2];
  doc.RadX = c.rad[0], doc.RadY = c.rad[1], doc.RadZ = c.rad[2];
  doc.lines = std::move(c.lines);
  doc.imageWidth = c.width;
  doc.imageHeight = c.height;
  doc.backColor = c.backColor;
  if (doc.workImages.slotCount() < kWorkImageSlots) doc.workImages.initStore(kWorkImageSlots);
  doc.recreateLayers();
  *doc.workImages.slot(kUnderlayImage) = std::move(*c.underlay.slot(0));

  const int sentinel = c.userImages.slotCount() - 1;
  c.userImages.makeBlank(sentinel, c.width, c.height, c.backColor);
  c.keys[size_t(sentinel)] = nextImageKey(c.keys, size_t(sentinel));
  c.userImages.kernel = doc.userImages.kernel;
  doc.userImages = std::move(c.userImages);
  doc.imageKeys = std::move(c.keys);

  doc.modelScale = c.modelScale;
  doc.lineOrder = std::move(c.lineOrder);
  doc.objects = std::move(c.objects);
  doc.texts = std::move(c.texts);
  if (doc.curObject < 0 || doc.curObject >= doc.objectCount()) doc.curObject = 0;
}

}  // namespace

std::vector<uint8_t> writeProjectPayload(const Document& doc) {
  ByteWriter w;
  const size_t pictures = doc.workImages.image(kUnderlayImage)
                              ? doc.workImages.image(kUnderlayImage)->pixels.size()
                              : 0;
  w.buffer().reserve(pictures + size_t(doc.lineCount()) * 1024 + 4096);
  w.i32(kProjectVersion);
  const int lineCount = doc.lineCount();
  w.i32(lineCount);
  for (float v : {doc.VextX, doc.VextY, doc.VextZ, doc.RadX, doc.RadY, doc.RadZ}) w.f32(v);
  for (const LineRecord& l : doc.lines) writeLine(w, l);
  w.i32(0);
  w.i32(doc.imageWidth);
  w.i32(doc.imageHeight);
  w.u32(doc.backColor);

  const int slots = std::max(1, doc.userImages.slotCount());
  w.i32(slots);
  for (int i = 0; i + 1 < slots; ++i) {
    writeImageEntry(w, doc.userImages.image(i));
    w.i32(size_t(i) < doc.imageKeys.size() ? doc.imageKeys[size_t(i)] : 0);
  }
  writeImageEntry(w, doc.workImages.image(kUnderlayImage));
  w.f32(doc.modelScale);
  // The file holds exactly one order entry per line; a short array is completed in index order.
  for (int i = 0; i < lineCount; ++i)
    w.i32(size_t(i) < doc.lineOrder.size() ? doc.lineOrder[size_t(i)] : i);
  w.i32(doc.objectCount());
  for (const ObjectRecord& o : doc.objects) writeObject(w, o);
  w.i32(doc.textCount());
  for (const TextRecord& t : doc.texts) writeText(w, t);
  return w.take();
}

bool readProjectPayload(Document& doc, std::span<const uint8_t> payload) {
  ProjectContent content;
  if (!parseProject(payload, content)) return false;
  applyProject(doc, std::move(content));
  return true;
}

bool writePayloadFile(Ui& ui, const std::string& path, std::vector<uint8_t> payload,
                      bool compressed) {
  if (compressed && payload.size() > kHcMaxPayload) {
    ui.message(msg::kTooLargeToSave, msg::kCaptionError);
    return false;
  }
  bool ok = true;
  if (compressed) {
    auto encoded = encodeHc(payload);
    ok = encoded.has_value();
    if (ok) payload = std::move(*encoded);
  }
  if (!ok || path.empty() || !writeFileAtomic(path, payload)) {
    ui.message(msg::kWriteFailed, msg::kCaptionError);
    return false;
  }
  return true;
}

bool loadPayloadFile(Ui& ui, const std::string& path, bool compressed,
                     const std::function<bool(std::span<const uint8_t>)>& apply) {
  // One message per refusal: a file in some other format is told so; a missing file, a damaged
  // container and a payload that does not parse all get the read failure alone.
  std::optional<std::vector<uint8_t>> payload = readWholeFile(path);
  if (payload && compressed) {
    std::vector<uint8_t> decoded;
    const HcStatus status = decodeHc(*payload, decoded);
    if (status == HcStatus::NotHc) {
      ui.message(msg::kNotHcFile, msg::kCaptionErrorLower);
      return false;
    }
    payload.reset();
    if (status == HcStatus::Ok) payload = std::move(decoded);
  }
  if (payload && apply(*payload)) return true;
  ui.message(msg::kReadFailed, msg::kCaptionError);
  return false;
}

bool inspectProjectPayload(std::span<const uint8_t> payload, int32_t* width, int32_t* height) {
  ProjectContent content;
  if (!parseProject(payload, content)) return false;
  if (width) *width = content.width;
  if (height) *height = content.height;
  return true;
}

bool saveProject(const Document& doc, const std::string& path, bool compressed) {
  std::vector<uint8_t> payload = writeProjectPayload(doc);
  if (compressed && payload.size() > kHcMaxPayload &&
      !canvasFits(doc.imageWidth, doc.imageHeight)) {
    doc.ui->message(msg::kCanvasTooLarge, msg::kCaptionError);
    return false;
  }
  return writePayloadFile(*doc.ui, path, std::move(payload), compressed);
}

bool loadProject(Document& doc, const std::string& path, bool compressed) {
  auto read = [&doc](std::span<const uint8_t> payload) { return readProjectPayload(doc, payload); };
  if (!loadPayloadFile(*doc.ui, path, compressed, read)) return false;
  if (compressed) resetViewAfterOpen(doc);
  return true;
}

void resetViewAfterOpen(Document& doc) {
  doc.perLine = 1;
  doc.edit = EditState{};
  doc.markSize = 4;
  doc.curLine = 0;
  doc.curPoint = 0;
  doc.objectView = 0;
  doc.frontToBack = 0;
}

}  // namespace tovala
