#include "engine/objects.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "model/document.h"
#include "model/messages.h"
#include "platform/encoding.h"
#include "platform/ui.h"

namespace tovala {

namespace {

constexpr const char* kAskAdd = "現在のオブジェクトを追加します。よろしいですか?";
constexpr const char* kAskAddCaption = "オブジェクトの追加";
constexpr const char* kAskDelete = "選択しているオブジェクトを削除します。よろしいですか?";
constexpr const char* kAskDeleteCaption = "オブジェクトの削除";
constexpr const char* kAskRewrite = "選択しているオブジェクトを書換えます。よろしいですか?";
constexpr const char* kAskRewriteCaption = "オブジェクトの書換";
constexpr const char* kNotFound =
    "選択している線を使用しているオブジェクトは見つかりませんでした。";
constexpr const char* kNoEye = "目に設定しているオブジェクトはありません。";

constexpr const char* kColourPrompt = "16進数で入力してください。BBGGRR(0-f)";
constexpr const char* kSettingPrompt =
    "16進数で入力してください。xxyywwhh(xx,yyの負の表現は0xFF-xx)";
constexpr const char* kFractionPrompt = "";

// Where the eye's parameters start among the rule words.
constexpr int kEyeFirstWord = 3;

bool validIndex(const Document& doc, int index) {
  return index >= 0 && index < doc.objectCount() - 1;
}

// The list always ends with a sentinel record; a list that lost it gets one back first.
void ensureSentinel(Document& doc) {
  if (doc.objects.empty()) doc.objects.emplace_back();
}

bool isFraction(int item) { return item == kEyeWidth || item == kEyeHeight; }

}  // namespace

bool isEyeObject(const ObjectRecord& o) { return (o.header[kObjectDrawType] & 0xFF) == kShapeEye; }

int objectPieceCount(const ObjectRecord& o) {
  int n = 0;
  while (n < kObjectEntries && o.c[size_t(n)] >= 0) ++n;
  return n;
}

void setObjectName(ObjectRecord& o, std::string_view utf8) {
  const std::vector<uint8_t> sjis = utf8ToSjis(utf8);
  o.name.fill(0);
  size_t n = std::min(sjis.size(), o.name.size());
  // Never cut a two-byte character in half.
  size_t i = 0;
  while (i < n) {
    const size_t len = isSjisLeadByte(sjis[i]) ? 2 : 1;
    if (i + len > n) break;
    i += len;
  }
  std::copy(sjis.begin(), sjis.begin() + std::ptrdiff_t(i), o.name.begin());
}

std::string objectName(const ObjectRecord& o) {
  size_t n = 0;
  while (n < o.name.size() && o.name[n] != 0) ++n;
  return sjisToUtf8(std::span<const uint8_t>(o.name.data(), n));
}

// --- the list ---------------------------------------------------------------------------------

int32_t nextObjectNumber(const Document& doc) {
  const int used = std::max(doc.objectCount() - 1, 0);
  for (int32_t candidate = kFirstNumber;; ++candidate) {
    bool taken = false;
    for (int i = 0; i < used && !taken; ++i)
      taken = doc.objects[size_t(i)].header[kObjectNumber] == candidate;
    if (!taken) return candidate;
  }
}

int addObject(Document& doc, const ObjectRecord& o) {
  ensureSentinel(doc);
  ObjectRecord added = o;
  if (added.header[kObjectNumber] < 0) added.header[kObjectNumber] = nextObjectNumber(doc);
  doc.objects.insert(doc.objects.end() - 1, added);
  return doc.objectCount() - 2;
}

int deleteObject(Document& doc, int index) {
  if (!validIndex(doc, index)) return -1;
  doc.objects.erase(doc.objects.begin() + index);
  if (doc.curObject >= doc.objectCount() - 1) doc.curObject = std::max(doc.objectCount() - 2, 0);
  return 1;
}

int rewriteObject(Document& doc, int index, const ObjectRecord& o) {
  if (!validIndex(doc, index)) return -1;
  doc.objects[size_t(index)] = o;
  return 1;
}

// --- the current object -----------------------------------------------------------------------

void backupCurrentObject(Document& doc) { doc.objectBackup = doc.scratchObject; }

void restoreCurrentObject(Document& doc) { doc.scratchObject = doc.objectBackup; }

void freshCurrentObject(Document& doc) {
  backupCurrentObject(doc);
  doc.scratchObject = ObjectRecord{};
}

int selectObject(Document& doc, int index) {
  if (!validIndex(doc, index)) return -1;
  backupCurrentObject(doc);
  doc.curObject = index;
  doc.scratchObject = doc.objects[size_t(index)];
  return 1;
}

int addCurrentObjectAsked(Document& doc) {
  if (doc.ui->ask(kAskAdd, kAskAddCaption, Buttons::YesNo) != Answer::Yes) return 0;
  backupCurrentObject(doc);
  const int at = addObject(doc, doc.scratchObject);
  // The current object now carries the number it was stored under.
  doc.scratchObject.header[kObjectNumber] = doc.objects[size_t(at)].header[kObjectNumber];
  doc.curObject = at;
  return 1;
}

int deleteSelectedObjectAsked(Document& doc) {
  if (!validIndex(doc, doc.curObject)) return -1;
  if (doc.ui->ask(kAskDelete, kAskDeleteCaption, Buttons::YesNo) != Answer::Yes) return 0;
  return deleteObject(doc, doc.curObject);
}

int rewriteSelectedObjectAsked(Document& doc) {
  if (!validIndex(doc, doc.curObject)) return -1;
  if (doc.ui->ask(kAskRewrite, kAskRewriteCaption, Buttons::YesNo) != Answer::Yes) return 0;
  return rewriteObject(doc, doc.curObject, doc.scratchObject);
}

// --- pieces -----------------------------------------------------------------------------------

int addObjectPiece(Document& doc, ObjectRecord& o, int slot, int line, int first, int last) {
  if (isEyeObject(o) || slot < 0 || slot >= kObjectEntries) return -1;
  if (doc.isValidPick(line, first) < 0 || doc.isValidPick(line, last) < 0) return -1;
  const int used = objectPieceCount(o);
  if (slot > used) slot = used;
  if (slot >= kObjectEntries) return -1;
  const int lastReal = doc.pointCount(line) - 2;
  PieceRange r{0, first, last, kPieceRange};
  if (first == 0 && last == lastReal)
    r.d = kPieceForward;
  else if (first == lastReal && last == 0)
    r.d = kPieceBackward;
  else if (first == last)
    r.d = kPiecePoint;
  o.c[size_t(slot)] = line;
  o.d[size_t(slot)] = packPieceRule(r);
  return slot;
}

int removeObjectPiece(ObjectRecord& o, int slot) {
  if (slot < 0 || slot >= kObjectEntries) return -1;
  for (int i = slot; i + 1 < kObjectEntries; ++i) {
    o.c[size_t(i)] = o.c[size_t(i) + 1];
    o.d[size_t(i)] = o.d[size_t(i) + 1];
  }
  o.c[kObjectEntries - 1] = -1;
  o.d[kObjectEntries - 1] = 0;
  return 1;
}

// --- search -----------------------------------------------------------------------------------

std::vector<int> objectsUsingLine(const Document& doc, int line) {
  std::vector<int> found;
  for (int i = 0; i < doc.objectCount() - 1; ++i) {
    const ObjectRecord& o = doc.objects[size_t(i)];
    const int n = objectPieceCount(o);
    if (std::find(o.c.begin(), o.c.begin() + n, line) != o.c.begin() + n) found.push_back(i);
  }
  return found;
}

std::vector<int> searchObjectsByLine(Document& doc, int line) {
  std::vector<int> found = objectsUsingLine(doc, line);
  if (found.empty()) doc.ui->message(kNotFound, "");
  return found;
}

// --- eyes -------------------------------------------------------------------------------------

int eyeItemWord(int item) {
  static constexpr int kWords[kEyeItemCount] = {0, 1, 2, 2, 3, 4, 5, 6};
  return item >= 0 && item < kEyeItemCount ? kEyeFirstWord + kWords[item] : -1;
}

const char* eyeItemLabel(int item) {
  static constexpr const char* kLabels[kEyeItemCount] = {"白目の色",    "黒目の色", "目の幅(0-1)",
                                                         "目の高(0-1)", "黒目設定", "黒目色",
                                                         "目光設定",    "目光色"};
  return item >= 0 && item < kEyeItemCount ? kLabels[item] : "";
}

const char* eyeItemPrompt(int item) {
  if (isFraction(item)) return kFractionPrompt;
  if (item == kEyeIrisSetting || item == kEyeLightSetting) return kSettingPrompt;
  return kColourPrompt;
}

std::string eyeItemText(const ObjectRecord& o, int item) {
  const int w = eyeItemWord(item);
  if (w < 0) return {};
  const uint32_t word = uint32_t(o.d[size_t(w)]);
  char buf[32];
  if (isFraction(item)) {
    const uint32_t half = item == kEyeWidth ? word >> 16 : word & 0xFFFF;
    std::snprintf(buf, sizeof buf, "%f", half / 10000.0);
  } else if (item == kEyeIrisSetting || item == kEyeLightSetting) {
    std::snprintf(buf, sizeof buf, "%08x", word);
  } else {
    std::snprintf(buf, sizeof buf, "%06x", word & 0xFFFFFF);
  }
  return buf;
}

bool setEyeItem(ObjectRecord& o, int item, std::string_view text) {
  const int w = eyeItemWord(item);
  if (w < 0 || !isEyeObject(o)) return false;
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return false;
  uint32_t& word = reinterpret_cast<uint32_t&>(o.d[size_t(w)]);
  if (isFraction(item)) {
    double f = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), f);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(f)) return false;
    const uint32_t v = uint32_t(std::lround(std::clamp(f, 0.0, 1.0) * 10000.0));
    word = item == kEyeWidth ? (word & 0xFFFF) | (v << 16) : (word & 0xFFFF0000u) | v;
    return true;
  }
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.remove_prefix(2);
  uint32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  const bool setting = item == kEyeIrisSetting || item == kEyeLightSetting;
  word = setting ? v : (v & 0xFFFFFF);
  return true;
}

int firstEyeObject(Document& doc) {
  for (int i = 0; i < doc.objectCount() - 1; ++i)
    if (isEyeObject(doc.objects[size_t(i)])) return i;
  doc.ui->message(kNoEye, msg::kCaptionMessage);
  return -1;
}

}  // namespace tovala
