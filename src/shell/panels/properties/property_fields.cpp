#include "shell/panels/properties/property_fields.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "model/document.h"
#include "model/messages.h"
#include "shell/panels/dialogs/size_dialog.h"  // the canvas side limits, canvasFits

namespace tovala {

namespace {

// --- the controls of each page ---------------------------------------------------------------

FieldDef shown(int id) { return {id, FieldKind::Shown}; }
FieldDef integer(int id) { return {id, FieldKind::Int}; }
FieldDef byte(int id) { return {id, FieldKind::Byte}; }
FieldDef real(int id, const char* format = "%4.2f") { return {id, FieldKind::Real, format}; }
FieldDef check(int id) { return {id, FieldKind::Check}; }
FieldDef combo(int id, std::vector<ComboItem> items, int fallback) {
  return {id, FieldKind::Combo, "", std::move(items), fallback};
}

// Adds `count` controls of one kind with consecutive ids.
template <class Make>
void run(std::vector<FieldDef>& defs, int first, int count, Make make) {
  for (int id = first; id < first + count; ++id) defs.push_back(make(id));
}

std::vector<FieldDef> lineFields() {
  const std::vector<ComboItem> sel = {{"無視", 0}, {"選択", 1}};
  std::vector<FieldDef> s = {
      shown(1102),
      shown(1183),
      integer(1104),
      combo(1105, {{"普通", 0}, {"塗り", 1}, {"画像", 2}, {"文字", 3}, {"関節", 4}}, -1),
      combo(1107, {{"普通", 0}, {"CLine", 100}, {"OLine", 101}}, 0),
      combo(1108, {{"通常", 0}, {"太さ", 1}}, 0),
      combo(1109, {{"通常", 0}}, 0),
      combo(1110, sel, 1),  // any non-zero value is "選択"
      integer(1111),
      shown(1132),
      integer(1139),
      integer(1140)};
  run(s, 1112, 3, [](int id) { return real(id, "%3.2f"); });
  run(s, 1115, 13, [](int id) { return real(id); });  // 1115 .. 1127
  run(s, 1128, 4, [](int id) { return real(id); });
  run(s, 1150, 3, [](int id) { return real(id); });
  run(s, 1133, 6, byte);
  run(s, 1141, 2, [](int id) { return real(id); });
  return s;
}

std::vector<FieldDef> pointFields() {
  std::vector<FieldDef> s = {
      shown(1144),
      shown(1103),
      combo(1145, {{"普通", 0}}, -1),
      integer(1146),
      combo(1147, {{"描かない", -1}, {"通常", 0}, {"頂点", 1}, {"分割", 2}, {"無視", 3}}, 1),
      combo(1148, {{"無視", 0}, {"選択", 1}}, 1),
      shown(1149),
      integer(1175),
      integer(1176)};
  run(s, 1150, 25, [](int id) { return real(id); });  // 1150 .. 1174
  run(s, 1177, 2, [](int id) { return real(id); });
  return s;
}

std::vector<FieldDef> documentFields() {
  std::vector<FieldDef> s = {integer(1186),
                             integer(1187),
                             integer(1191),
                             integer(1192),
                             combo(1195, {{"通常", 0}, {"オブジェクト", 1}}, -1),
                             check(1200),
                             check(1201),
                             check(1212),
                             check(1215),
                             integer(1202),
                             real(1214)};
  run(s, 1188, 3, byte);
  run(s, 1209, 3, byte);
  run(s, 1193, 2, [](int id) { return real(id); });
  run(s, 1196, 4, [](int id) { return real(id); });
  run(s, 1203, 6, [](int id) { return real(id); });
  return s;
}

// --- where each control's value lives ----------------------------------------------------------

struct Slot {
  enum Type { None, I32, U32Byte, F32, F64 } type = None;
  void* at = nullptr;
  int shift = 0;  // U32Byte: which byte of the word
};

Slot i32(int32_t& v) { return {Slot::I32, &v}; }
Slot f32(float& v) { return {Slot::F32, &v}; }
Slot f64(double& v) { return {Slot::F64, &v}; }
Slot colourByte(uint32_t& word, int index) { return {Slot::U32Byte, &word, 8 * index}; }

Slot lineSlot(LineRecord& l, int id) {
  float* reals[] = {&l.w,     &l.h,     &l.depth, &l.vx,   &l.vy,   &l.vz,    &l.v0x,
                    &l.v0y,   &l.v0z,   &l.radx,  &l.rady, &l.radz, &l.rectx, &l.recty,
                    &l.rectw, &l.recth, &l.brw,   &l.brh,  &l.bra,  &l.brk};
  if (id >= 1112 && id <= 1131) return f32(*reals[id - 1112]);
  switch (id) {
    case 1104: return i32(l.nam);
    case 1105: return i32(l.kind);
    case 1107: return i32(l.mode);
    case 1108: return i32(l.lmode);
    case 1109: return i32(l.imgmode);
    case 1110: return i32(l.sel);
    case 1111: return i32(l.category);
    case 1150: return f32(l.vdx);
    case 1151: return f32(l.vdy);
    case 1152: return f32(l.vdz);
    case 1133:
    case 1134:
    case 1135: return colourByte(l.cr, id - 1133);
    case 1136:
    case 1137:
    case 1138: return colourByte(l.cb, id - 1136);
    case 1139: return i32(l.spmin);
    case 1140: return i32(l.spmax);
    case 1141: return f64(l.spdspx);
    case 1142: return f64(l.spdspy);
    default: return {};
  }
}

Slot pointSlot(PointRecord& p, int id) {
  float* reals[] = {&p.vx,       &p.vy,       &p.vz,       &p.v0x,      &p.v0y,
                    &p.v0z,      &p.radx,     &p.rady,     &p.radz,     &p.vdx,
                    &p.vdy,      &p.vdz,      &p.unitX[0], &p.unitX[1], &p.unitX[2],
                    &p.unitY[0], &p.unitY[1], &p.unitY[2], &p.unitZ[0], &p.unitZ[1],
                    &p.unitZ[2], &p.pww,      &p.pwh,      &p.pwa,      &p.pwk};
  if (id >= 1150 && id <= 1174) return f32(*reals[id - 1150]);
  switch (id) {
    case 1145: return i32(p.kind);
    case 1146: return i32(p.nam);
    case 1147: return i32(p.mode);
    case 1148: return i32(p.sel);
    case 1175: return i32(p.spmin);
    case 1176: return i32(p.spmax);
    case 1177: return f64(p.spdspx);
    case 1178: return f64(p.spdspy);
    default: return {};
  }
}

Slot documentSlot(Document& d, int id) {
  switch (id) {
    case 1186: return i32(d.imageWidth);
    case 1187: return i32(d.imageHeight);
    case 1188:
    case 1189:
    case 1190: return colourByte(d.backColor, id - 1188);
    case 1209:
    case 1210:
    case 1211: return colourByte(d.penColor, id - 1209);
    case 1191: return i32(d.defSpMin);
    case 1192: return i32(d.defSpMax);
    case 1193: return f64(d.defSpDspX);
    case 1194: return f64(d.defSpDspY);
    case 1195:
    case 1212: return i32(d.objectView);
    case 1196:
    case 1197:
    case 1198:
    case 1199: return f32(d.defBrush[size_t(id - 1196)]);
    case 1200: return i32(d.perLine);
    case 1201: return i32(d.showUnderlay);
    case 1215: return i32(d.fileUndo);
    case 1202: return i32(d.markSize);
    case 1214: return f32(d.faceRef);
    case 1203: return f32(d.VextX);
    case 1204: return f32(d.VextY);
    case 1205: return f32(d.VextZ);
    case 1206: return f32(d.RadX);
    case 1207: return f32(d.RadY);
    case 1208: return f32(d.RadZ);
    default: return {};
  }
}

bool selectionValid(const Document& d) { return d.isValidPick(d.curLine, d.curPoint) == 1; }

// The slot of a control; none when a line or point page has no valid selection to show.
Slot locate(Document& d, PropertyTarget target, int id) {
  if (target == PropertyTarget::Document) return documentSlot(d, id);
  if (!selectionValid(d)) return {};
  LineRecord& l = d.lines[size_t(d.curLine)];
  if (target == PropertyTarget::Line) return lineSlot(l, id);
  return pointSlot(l.points[size_t(d.curPoint)], id);
}

// The shown-only integers, which live in no record field.
bool shownValue(const Document& d, PropertyTarget target, int id, int32_t& value) {
  if (target == PropertyTarget::Document || !selectionValid(d)) return false;
  const PointRecord& p = d.lines[size_t(d.curLine)].points[size_t(d.curPoint)];
  const bool line = target == PropertyTarget::Line;
  if (id == (line ? 1102 : 1144))
    value = d.curLine;
  else if (id == (line ? 1183 : 1103))
    value = d.curPoint;
  else if (line && id == 1132)
    value = d.pointCount(d.curLine) - 1;
  else if (!line && id == 1149)
    value = p.aux;
  else
    return false;
  return true;
}

int32_t intOf(const Slot& s) {
  if (s.type == Slot::I32) return *static_cast<int32_t*>(s.at);
  if (s.type == Slot::U32Byte) return int32_t((*static_cast<uint32_t*>(s.at) >> s.shift) & 0xFF);
  return 0;
}

std::string format(const char* fmt, double value) {
  const int n = std::snprintf(nullptr, 0, fmt, value);
  std::string s(size_t(std::max(n, 0)), '\0');
  std::snprintf(s.data(), s.size() + 1, fmt, value);
  return s;
}

bool isCanvasSide(PropertyTarget target, int id) {
  return target == PropertyTarget::Document && (id == 1186 || id == 1187);
}

WriteNotice noticeOf(PropertyTarget target, int id) {
  if (target != PropertyTarget::Document) return WriteNotice::None;
  if (id == 1215) return WriteNotice::UndoKind;
  if (id == 1186 || id == 1187 || (id >= 1188 && id <= 1190)) return WriteNotice::Canvas;
  return WriteNotice::None;
}

// Stores `value` into an integer slot (a colour byte replaces only its byte).
WriteResult storeInt(const Slot& s, int32_t value, WriteNotice notice, const BeforeWrite& before) {
  if (s.type == Slot::I32)
    return storeIfChanged(*static_cast<int32_t*>(s.at), value, notice, before);
  if (s.type != Slot::U32Byte) return {};
  auto& word = *static_cast<uint32_t*>(s.at);
  const uint32_t next = (word & ~(0xFFu << s.shift)) | (uint32_t(value) & 0xFF) << s.shift;
  return storeIfChanged(word, next, notice, before);
}

std::string_view skipBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

}  // namespace

const FieldDef* findField(PropertyTarget target, int id) {
  static const std::vector<FieldDef> defs[3] = {lineFields(), pointFields(), documentFields()};
  for (const FieldDef& s : defs[int(target)])
    if (s.id == id) return &s;
  return nullptr;
}

// --- texts -----------------------------------------------------------------------------------

std::string showInt(int32_t value, bool hex) {
  char buf[32];
  if (hex)
    std::snprintf(buf, sizeof buf, "%04x", unsigned(uint32_t(value)));
  else
    std::snprintf(buf, sizeof buf, "%d", value);
  return buf;
}

std::string showItem(int32_t value, bool hex) {
  char buf[32];
  if (hex)
    std::snprintf(buf, sizeof buf, "%04x", unsigned(uint32_t(value)));
  else
    std::snprintf(buf, sizeof buf, "%04d", value);
  return buf;
}

std::string showBits(uint32_t bits, bool hex) {
  if (hex) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", unsigned(bits));
    return buf;
  }
  return format("%4.4f", double(std::bit_cast<float>(bits)));
}

std::optional<int32_t> readIntIfAny(std::string_view text, bool hex) {
  std::string_view s = skipBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (hex && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.remove_prefix(2);
  uint64_t value = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), value, hex ? 16 : 10);
  if (r.ptr == s.data()) return std::nullopt;
  if (r.ec != std::errc()) return 0;
  if (hex) {
    if (value > std::numeric_limits<uint32_t>::max()) return 0;
    const uint32_t bits = negative ? 0u - uint32_t(value) : uint32_t(value);
    return std::bit_cast<int32_t>(bits);
  }
  const int64_t limit = negative ? int64_t(1) << 31 : (int64_t(1) << 31) - 1;
  if (value > uint64_t(limit)) return 0;
  return int32_t(negative ? -int64_t(value) : int64_t(value));
}

int32_t readInt(std::string_view text, bool hex) { return readIntIfAny(text, hex).value_or(0); }

double readReal(std::string_view text) {
  std::string_view s = skipBlanks(text);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double value = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
  if (r.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

uint32_t readBits(std::string_view text, bool hex) {
  if (hex) return std::bit_cast<uint32_t>(readInt(text, true));
  const double v = readReal(text);
  // Beyond the float range the value would become an infinity, which no field can hold.
  const float f = std::abs(v) <= double(std::numeric_limits<float>::max()) ? float(v) : 0.0f;
  return std::bit_cast<uint32_t>(f);
}

// --- fields ----------------------------------------------------------------------------------

std::string fieldText(const Document& doc, PropertyTarget target, int id, bool hex) {
  const FieldDef* field = findField(target, id);
  if (!field) return {};
  auto& d = const_cast<Document&>(doc);  // read only: the slots serve reads and writes alike
  int32_t value = 0;
  switch (field->kind) {
    case FieldKind::Shown: return shownValue(doc, target, id, value) ? showInt(value, hex) : "";
    case FieldKind::Int:
    case FieldKind::Byte: {
      const Slot s = locate(d, target, id);
      return s.type == Slot::None ? "" : showInt(intOf(s), hex);
    }
    case FieldKind::Real: {
      const Slot s = locate(d, target, id);
      if (s.type == Slot::F32) return format(field->format, double(*static_cast<float*>(s.at)));
      if (s.type == Slot::F64) return format(field->format, *static_cast<double*>(s.at));
      return {};
    }
    default: return {};
  }
}

int fieldChoice(const Document& doc, PropertyTarget target, int id) {
  const FieldDef* field = findField(target, id);
  if (!field) return -1;
  const Slot s = locate(const_cast<Document&>(doc), target, id);
  if (s.type != Slot::I32) return -1;
  const int32_t value = intOf(s);
  if (field->kind == FieldKind::Check) return value != 0 ? 1 : 0;
  if (field->kind != FieldKind::Combo) return -1;
  for (size_t i = 0; i < field->items.size(); ++i)
    if (field->items[i].value == value) return int(i);
  return field->fallback;
}

WriteResult writeFieldText(Document& doc, PropertyTarget target, int id, std::string_view text,
                           bool hex, const BeforeWrite& before) {
  const FieldDef* field = findField(target, id);
  if (!field || !selectionValid(doc)) return {};
  const Slot s = locate(doc, target, id);
  switch (field->kind) {
    case FieldKind::Int:
    case FieldKind::Byte: {
      const std::optional<int32_t> typed = readIntIfAny(text, hex);
      int32_t value = typed.value_or(0);
      if (isCanvasSide(target, id)) {
        // A side of 0 would wipe the canvas and underlay for a typing slip: unreadable text is
        // refused, and the value kept to the sizes the canvas takes.
        if (!typed) return {};
        value = std::clamp(value, kMinCanvasSide, kMaxCanvasSide);
        const bool width = id == 1186;
        if (!canvasFits(width ? value : doc.imageWidth, width ? doc.imageHeight : value))
          return {false, WriteNotice::None, msg::kCanvasTooLarge};
      }
      return storeInt(s, value, noticeOf(target, id), before);
    }
    case FieldKind::Real: {
      const double value = readReal(text);
      const WriteNotice none = WriteNotice::None;
      if (s.type == Slot::F64)
        return storeIfChanged(*static_cast<double*>(s.at), value, none, before);
      if (s.type == Slot::F32) {
        const float f = std::bit_cast<float>(readBits(text, false));
        return storeIfChanged(*static_cast<float*>(s.at), f, none, before);
      }
      return {};
    }
    default: return {};
  }
}

WriteResult writeFieldChoice(Document& doc, PropertyTarget target, int id, int choice,
                             const BeforeWrite& before) {
  const FieldDef* field = findField(target, id);
  if (!field || !selectionValid(doc)) return {};
  const Slot s = locate(doc, target, id);
  int32_t value = 0;
  if (field->kind == FieldKind::Check) {
    value = choice != 0 ? 1 : 0;
  } else if (field->kind == FieldKind::Combo && choice >= 0 && choice < int(field->items.size())) {
    value = field->items[size_t(choice)].value;
  } else {
    return {};
  }
  return storeInt(s, value, noticeOf(target, id), before);
}

}  // namespace tovala
