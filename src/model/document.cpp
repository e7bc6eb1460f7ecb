#include "model/document.h"

#include <algorithm>
#include <cctype>

#include "model/file_io.h"
#include "model/messages.h"
#include "platform/ui.h"

namespace tovala {

std::array<uint8_t, kObjectNameBytes> defaultObjectName() {
  // "名無し" in Shift-JIS.
  std::array<uint8_t, kObjectNameBytes> name{};
  const uint8_t bytes[] = {0x96, 0xBC, 0x96, 0xB3, 0x82, 0xB5};
  std::copy(std::begin(bytes), std::end(bytes), name.begin());
  return name;
}

ObjectRecord::ObjectRecord() : name(defaultObjectName()) { c.fill(-1); }

Document::Document(Canvas canvas) : ui(&silentUi()), hasCanvas_(canvas == Canvas::kBuilt) {
  create();
}

int Document::isValidPick(int line, int point) const {
  if (line < 0 || line >= lineCount() - 1) return -1;
  if (point < 0 || point >= pointCount(line) - 1) return -1;
  return 1;
}

int32_t Document::nextLineNumber(int32_t extra) const {
  const int64_t last = int64_t(kFirstNumber) + lineCount() + std::max<int32_t>(extra, 0);
  for (int64_t i = kFirstNumber; i <= last; ++i) {
    bool used =
        std::any_of(lines.begin(), lines.end(), [i](const LineRecord& l) { return l.nam == i; });
    if (!used) return int32_t(i);
  }
  return int32_t(last);
}

int32_t Document::nextPointNumber(int line, int32_t extra) const {
  if (line < 0 || line >= lineCount()) return kFirstNumber;
  const auto& pts = lines[size_t(line)].points;
  const int64_t last = int64_t(kFirstNumber) + int64_t(pts.size()) + std::max<int32_t>(extra, 0);
  for (int64_t i = kFirstNumber; i <= last; ++i) {
    bool used =
        std::any_of(pts.begin(), pts.end(), [i](const PointRecord& p) { return p.nam == i; });
    if (!used) return int32_t(i);
  }
  return int32_t(last);
}

LineRecord Document::makeDefaultLine() const {
  LineRecord l;
  applyDefaultStyle(l);
  l.points.assign(1, makeDefaultPoint());
  return l;
}

PointRecord Document::makeDefaultPoint() { return PointRecord{}; }

PointRecord Document::makeSentinelPoint(const PointRecord& previous, int32_t number) const {
  PointRecord p = previous;
  p.kind = -1;
  p.nam = number;
  p.mode = -1;
  p.sel = 0;
  p.aux = -1;
  p.paramChanged = 0;
  p.params.assign(1, ParamEntry::sentinel());
  p.codeChanged = 0;
  p.code.assign(1, CodeEntry{});
  return p;
}

void Document::copyLine(LineRecord& destination, const LineRecord& source) {
  if (&destination != &source) destination = source;
}

int Document::findLineByNumber(int32_t number) const {
  for (size_t pos = 0; pos < lineOrder.size(); ++pos) {
    const int32_t idx = lineOrder[pos];
    if (idx < 0 || idx >= lineCount()) return -1;
    if (lines[size_t(idx)].nam == number) return int(pos);
  }
  return -1;
}

int Document::findOrderPosition(int line) const {
  auto it = std::find(lineOrder.begin(), lineOrder.end(), line);
  return it == lineOrder.end() ? -1 : int(it - lineOrder.begin());
}

int Document::findImageByKey(int32_t key) const {
  for (size_t i = 0; i < imageKeys.size(); ++i)
    if (imageKeys[i] == key) return int(i);
  return 0;
}

int Document::findText(int32_t key) const {
  for (size_t i = 0; i < texts.size(); ++i)
    if (texts[i].key == key) return int(i);
  return -1;
}

void Document::storeText(const TextRecord& record) {
  TextRecord r = record;
  r.length = std::clamp(r.length, 0, kTextBytes);
  int at = findText(r.key);
  if (at >= 0 && at < textCount() - 1) {
    texts[size_t(at)] = r;
    return;
  }
  if (texts.empty()) texts.push_back(TextRecord::sentinel());
  texts.insert(texts.end() - 1, r);
}

void Document::clear() {
  lines.clear();
  imageKeys.clear();
  texts.clear();
  objects.clear();
  lineOrder.clear();
  edit.mode = 1;
  edit.subMode = 0;
  curLine = 0;
  curPoint = 0;
}

namespace {
// A picture of one colour throughout: the blank underlay a document starts with.
bool isBlank(const ImageSlot& image) {
  if (image.width <= 0 || image.height <= 0) return true;
  const uint32_t first = image.pixel(0, 0);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.pixel(x, y) != first) return false;
  return true;
}
}  // namespace

void Document::recreateLayers() {
  if (!hasCanvas_) return;
  for (int slot : {0, 1, 2, 4, 5, 6}) workImages.makeBlank(slot, imageWidth, imageHeight, backColor);
  layerMerge.valid = false;  // the layers it was made from are gone
}

void Document::recreateWorkImages() {
  if (!hasCanvas_) return;
  recreateLayers();
  // A loaded underlay is the user's picture and stays as it is, laid from the top-left corner at
  // its own size whatever the canvas; only the blank one follows the canvas and its colour.
  const ImageSlot* underlay = workImages.image(kUnderlayImage);
  if (!underlay || isBlank(*underlay))
    workImages.makeBlank(kUnderlayImage, imageWidth, imageHeight, backColor);
}

void Document::buildCanvas() {
  if (hasCanvas_) return;
  hasCanvas_ = true;
  // Only what drawing the layers needs: the display buffer is made by the first display, and
  // the scratch image is made to each mask's size.
  for (int slot : {kModelImage, kFrontLayer, kSelectedLayer, kBackLayer})
    workImages.makeBlank(slot, imageWidth, imageHeight, backColor);
  layerMerge.valid = false;
}

BrushKernel Document::paintKernel() { return buildKernel(6.0f, 6.0f, 1.0f, -3.0f); }

void Document::reset() {
  backColor = kDefaultBackColor;
  if (workImages.slotCount() < kWorkImageSlots) workImages.initStore(kWorkImageSlots);
  workImages.release(kUnderlayImage);  // a new document starts without the old underlay
  recreateWorkImages();
  defBrush = {2.0f, 2.0f, 1.98f, 0.0f};
  workImages.kernel = buildKernel(defBrush[0], defBrush[1], defBrush[2], defBrush[3]);
  defSpMin = 20;
  defSpMax = 40;
  defSpDspX = 0.3;
  defSpDspY = 0.3;
  modelScale = 1.0f;
  faceRef = 300.0f;
  perLine = 1;
  markSize = 4;
  VextX = VextY = VextZ = 0;
  RadX = RadY = RadZ = 0;
  lines.assign(1, makeDefaultLine());
  userImages.initStore(1);
  userImages.kernel = paintKernel();
  imageKeys.assign(1, 0);
  texts.assign(1, TextRecord::sentinel());
  objects.assign(1, ObjectRecord{});
  scratchObject = ObjectRecord{};
  objectBackup = ObjectRecord{};
  curObject = 0;
  objectView = 0;
  frontToBack = 0;
  lineOrder.assign(1, 0);
  edit = EditState{};
  curLine = 0;
  curPoint = 0;
}

void Document::create() {
  imageWidth = kDefaultImageWidth;
  imageHeight = kDefaultImageHeight;
  workImages.initStore(kWorkImageSlots);
  userImages.initStore(1);
  defBrush = {2.0f, 2.0f, 1.98f, 0.0f};
  reset();
}

void Document::orderAfterDelete(int removed) {
  auto it = std::find(lineOrder.begin(), lineOrder.end(), removed);
  if (it != lineOrder.end()) lineOrder.erase(it);
  for (int32_t& e : lineOrder)
    if (e > removed) e = std::max(0, e - 1);
}

void Document::orderAfterInsert(int inserted) {
  const bool present = std::find(lineOrder.begin(), lineOrder.end(), inserted) != lineOrder.end();
  lineOrder.push_back(present ? lineCount() - 1 : inserted);
}

// --- user images -----------------------------------------------------------------------------

void Document::appendUserImage() {
  uint32_t largest = 0;
  bool any = false;
  for (int32_t k : imageKeys) {
    if (!any || uint32_t(k) > largest) largest = uint32_t(k);
    any = true;
  }
  userImages.addSlot();
  imageKeys.push_back(any ? int32_t(largest + 1) : 1);
}

void Document::removeUserImage(int slot) {
  if (!userImages.validSlot(slot) || slot >= int(imageKeys.size())) return;
  userImages.removeSlot(slot);
  imageKeys.erase(imageKeys.begin() + slot);
}

bool Document::loadLineImage(int line, const std::string& path) {
  if (!isValidLine(line)) return false;
  ImageSlot picture;
  if (!readPictureFile(path, *ui, picture)) return false;
  adoptLineImage(line, std::move(picture));
  return true;
}

void Document::adoptLineImage(int line, ImageSlot&& picture) {
  if (!isValidLine(line)) return;
  const int slot = sentinelImageSlot();
  *userImages.slot(slot) = std::move(picture);
  appendUserImage();
  lines[size_t(line)].kind = 2;
  lines[size_t(line)].cb = uint32_t(imageKeys[size_t(slot)]);
}

bool readPictureFile(const std::string& path, Ui& ui, ImageSlot& out) {
  ImageStore read;
  read.initStore(1);
  if (!read.loadPicture(0, path, ui)) return false;
  out = std::move(*read.slot(0));
  return true;
}

void Document::newLineImage(int line) {
  if (!isValidLine(line)) return;
  LineRecord& l = lines[size_t(line)];
  const int slot = sentinelImageSlot();
  const int32_t w = int32_t(l.rectw - l.rectx);
  const int32_t h = int32_t(l.recth - l.recty);
  if (!userImages.makeBlank(slot, std::max(w, 1), std::max(h, 1), 0xFFFFFF)) return;
  appendUserImage();
  l.kind = 2;
  l.cb = uint32_t(imageKeys[size_t(slot)]);
}

void Document::chooseLineImage(int line, int slot) {
  if (!isValidLine(line) || slot < 0 || slot >= int(imageKeys.size())) return;
  lines[size_t(line)].kind = 2;
  lines[size_t(line)].cb = uint32_t(imageKeys[size_t(slot)]);
}

void Document::dropLineImage(int line) {
  if (!isValidLine(line)) return;
  lines[size_t(line)].kind = 0;
  lines[size_t(line)].cb = 0;
}

}  // namespace tovala
