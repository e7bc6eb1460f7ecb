// Model variables: what each operand reference reads and writes, how its indices resolve at run
// time and how script values (always f32) convert to and from the typed fields.

#include <bit>

#include "model/document.h"
#include "platform/ui.h"
#include "script/script_engine.h"
#include "script/script_messages.h"

namespace tovala::script {
namespace {

enum class FieldType { None, I32, F32, F64, ColorWord, ColorByte };

struct FieldRef {
  FieldType type = FieldType::None;
  void* ptr = nullptr;
  int shift = 0;  // colour components: 0 red, 8 green, 16 blue
};

FieldRef i32(int32_t& f) { return {FieldType::I32, &f, 0}; }
FieldRef f32(float& f) { return {FieldType::F32, &f, 0}; }
FieldRef f64(double& f) { return {FieldType::F64, &f, 0}; }
FieldRef colour(uint32_t& w, int component) {
  if (component == 0) return {FieldType::ColorWord, &w, 0};
  return {FieldType::ColorByte, &w, (component - 1) * 8};
}

FieldRef pointField(PointRecord& p, uint32_t field) {
  switch (field) {
    case 0x01: return i32(p.kind);
    case 0x02: return i32(p.nam);
    case 0x03: return i32(p.mode);
    case 0x04: return i32(p.sel);
    case 0x05: return i32(p.aux);
    case 0x10: return f32(p.vx);
    case 0x11: return f32(p.vy);
    case 0x12: return f32(p.vz);
    case 0x20: return f32(p.v0x);
    case 0x21: return f32(p.v0y);
    case 0x22: return f32(p.v0z);
    case 0x30: return f32(p.radx);
    case 0x31: return f32(p.rady);
    case 0x32: return f32(p.radz);
    case 0x40: return f32(p.vdx);
    case 0x41: return f32(p.vdy);
    case 0x42: return f32(p.vdz);
    case 0x50:
    case 0x51:
    case 0x52: return f32(p.unitX[field - 0x50]);
    case 0x60:
    case 0x61:
    case 0x62: return f32(p.unitY[field - 0x60]);
    case 0x70:
    case 0x71:
    case 0x72: return f32(p.unitZ[field - 0x70]);
    case 0xA0: return f32(p.pww);
    case 0xA1: return f32(p.pwh);
    case 0xA2: return f32(p.pwa);
    case 0xA3: return f32(p.pwk);
    case 0xB0: return i32(p.spmin);
    case 0xB1: return i32(p.spmax);
    case 0xB2: return f64(p.spdspx);
    case 0xB3: return f64(p.spdspy);
    default: return {};
  }
}

FieldRef lineField(LineRecord& l, uint32_t field) {
  switch (field) {
    case 0x01: return i32(l.kind);
    case 0x02: return i32(l.nam);
    case 0x03: return i32(l.mode);
    case 0x04: return i32(l.lmode);
    case 0x05: return i32(l.imgmode);
    case 0x06: return i32(l.sel);
    case 0x07: return i32(l.category);
    case 0x0A: return f32(l.w);
    case 0x0B: return f32(l.h);
    case 0x0C: return f32(l.depth);
    case 0x10: return f32(l.vx);
    case 0x11: return f32(l.vy);
    case 0x12: return f32(l.vz);
    case 0x20: return f32(l.v0x);
    case 0x21: return f32(l.v0y);
    case 0x22: return f32(l.v0z);
    case 0x30: return f32(l.radx);
    case 0x31: return f32(l.rady);
    case 0x32: return f32(l.radz);
    case 0x40: return f32(l.vdx);
    case 0x41: return f32(l.vdy);
    case 0x42: return f32(l.vdz);
    case 0x50: return f32(l.rectx);
    case 0x51: return f32(l.recty);
    case 0x52: return f32(l.rectw);
    case 0x53: return f32(l.recth);
    case 0x60:
    case 0x61:
    case 0x62:
    case 0x63: return colour(l.cr, int(field - 0x60));
    case 0x70:
    case 0x71:
    case 0x72:
    case 0x73: return colour(l.cb, int(field - 0x70));
    case 0xA0: return f32(l.brw);
    case 0xA1: return f32(l.brh);
    case 0xA2: return f32(l.bra);
    case 0xA3: return f32(l.brk);
    case 0xB0: return i32(l.spmin);
    case 0xB1: return i32(l.spmax);
    case 0xB2: return f64(l.spdspx);
    case 0xB3: return f64(l.spdspy);
    default: return {};
  }
}

// The whole-model movement and rotation. They are carried as raw 32-bit words, which for these
// float fields is the value itself.
float* fixedField(Document& doc, uint32_t field) {
  switch (field) {
    case 0x00: return &doc.VextX;
    case 0x01: return &doc.VextY;
    case 0x02: return &doc.VextZ;
    case 0x10: return &doc.RadX;
    case 0x11: return &doc.RadY;
    case 0x12: return &doc.RadZ;
    default: return nullptr;
  }
}

float readField(const FieldRef& f) {
  switch (f.type) {
    case FieldType::I32: return float(*static_cast<int32_t*>(f.ptr));
    case FieldType::F32: return *static_cast<float*>(f.ptr);
    case FieldType::F64: return float(*static_cast<double*>(f.ptr));
    case FieldType::ColorWord: return std::bit_cast<float>(*static_cast<uint32_t*>(f.ptr));
    case FieldType::ColorByte: return float((*static_cast<uint32_t*>(f.ptr) >> f.shift) & 0xFF);
    case FieldType::None: break;
  }
  return 0.0f;
}

bool writeField(const FieldRef& f, float v) {
  switch (f.type) {
    case FieldType::I32: *static_cast<int32_t*>(f.ptr) = truncToInt(v); return true;
    case FieldType::F32: *static_cast<float*>(f.ptr) = v; return true;
    case FieldType::F64: *static_cast<double*>(f.ptr) = double(v); return true;
    case FieldType::ColorWord:
      *static_cast<uint32_t*>(f.ptr) = std::bit_cast<uint32_t>(v);
      return true;
    case FieldType::ColorByte: {
      // Clear the byte and add the value in its place; values beyond 0..255 carry over.
      uint32_t& word = *static_cast<uint32_t*>(f.ptr);
      word = (word & ~(0xFFu << f.shift)) + (uint32_t(truncToInt(v)) << f.shift);
      return true;
    }
    case FieldType::None: break;
  }
  return false;
}

}  // namespace

// The value of local `local` as an index; false when no such local exists.
bool ScriptEngine::localAsIndex(uint32_t local, int& out) const {
  if (local >= uint32_t(localCount_)) return false;
  out = truncToInt(locals_[local]);
  return true;
}

LineRecord* ScriptEngine::resolveLine(uint32_t code) const {
  uint32_t raw = code >> 16;
  int line = int(raw);
  if (raw & 0x8000) {
    if (!localAsIndex(raw & 0x7FFF, line)) return nullptr;
  }
  return doc_->isValidLine(line) ? &doc_->lines[size_t(line)] : nullptr;
}

PointRecord* ScriptEngine::resolvePoint(LineRecord& line, uint32_t code) const {
  const uint32_t raw = (code >> 8) & 0xFF;
  int point = int(raw);
  if (raw & 0x80) {  // bit 15 of the reference
    if (!localAsIndex(raw & 0x7F, point)) return nullptr;
  }
  if (point < 0 || point >= line.pointCount() - 1) return nullptr;
  return &line.points[size_t(point)];
}

// Entry c of the point's (0x1B) or the line's (0x1D) parameter list, the sentinel included.
ParamEntry* ScriptEngine::resolveParam(uint8_t flag, uint32_t code, LineRecord& line,
                                       PointRecord* point) const {
  const bool ofPoint = flag == kFlagPointParam;
  const uint32_t raw = ofPoint ? (code & 0xFF) : (code & 0xFFFF);
  const uint32_t indirectBit = ofPoint ? kPointParamIndirect : kLineParamIndirect;
  int c = int(raw);
  if (raw & indirectBit) {
    if (!localAsIndex(raw & (indirectBit - 1), c)) return nullptr;
  }
  ParamList& params = ofPoint ? point->params : line.params;
  if (c < 0 || size_t(c) >= params.size()) return nullptr;
  return &params[size_t(c)];
}

float ScriptEngine::readVariable(uint8_t flag, uint32_t code, bool& ok) {
  ok = true;
  if (flag == kFlagLocal) {
    int i = int(code & 0x7FFF);
    if ((code & kLocalIndirect) && !localAsIndex(uint32_t(i), i)) ok = false;
    if (ok && (i < 0 || i >= localCount_)) ok = false;
    return ok ? locals_[size_t(i)] : 0.0f;
  }
  if (flag == kFlagFixed) {
    const float* f = fixedField(*doc_, code);
    return f ? *f : 0.0f;
  }
  if (!isVariableFlag(flag)) return 0.0f;
  LineRecord* line = resolveLine(code);
  PointRecord* point = nullptr;
  if (line && (flag == kFlagPointVar || flag == kFlagPointParam)) {
    point = resolvePoint(*line, code);
    if (!point) line = nullptr;
  }
  if (!line) {
    ok = false;
    return 0.0f;
  }
  if (flag == kFlagLineVar) return readField(lineField(*line, code & 0xFF));
  if (flag == kFlagPointVar) return readField(pointField(*point, code & 0xFF));
  const ParamEntry* p = resolveParam(flag, code, *line, point);
  if (!p) ok = false;
  return p ? p->asFloat() : 0.0f;
}

int ScriptEngine::writeVariable(uint8_t flag, uint32_t code, float value) {
  if (flag == kFlagLocal) {
    int i = int(code & 0x7FFF);
    if ((code & kLocalIndirect) && !localAsIndex(uint32_t(i), i)) return -1;
    if (i < 0 || i >= localCount_) return -1;
    locals_[size_t(i)] = value;
    return 1;
  }
  if (flag == kFlagFixed) {
    float* f = fixedField(*doc_, code);
    if (!f) return 0;
    *f = value;
    return 1;
  }
  if (!isVariableFlag(flag)) return 0;
  LineRecord* line = resolveLine(code);
  PointRecord* point = nullptr;
  if (line && (flag == kFlagPointVar || flag == kFlagPointParam)) {
    point = resolvePoint(*line, code);
    if (!point) return -1;
  }
  if (!line) return -1;
  if (flag == kFlagLineVar) return writeField(lineField(*line, code & 0xFF), value) ? 1 : 0;
  if (flag == kFlagPointVar) return writeField(pointField(*point, code & 0xFF), value) ? 1 : 0;
  ParamEntry* p = resolveParam(flag, code, *line, point);
  if (!p) return -1;
  p->setFloat(value);
  return 1;
}

int ScriptEngine::readOperand(uint8_t flag, uint32_t code, float& value) {
  value = 0.0f;
  if (flag == kFlagNumber) {
    value = std::bit_cast<float>(code);
    return 1;
  }
  bool ok = true;
  value = readVariable(flag, code, ok);
  if (!ok) {
    doc_->ui->message(msg::kGetValue, msg::kCaptionError);
    return -1;
  }
  return 1;
}

int ScriptEngine::setValue(uint8_t flag, uint32_t code, float value) {
  const int r = writeVariable(flag, code, value);
  if (r < 0) doc_->ui->message(msg::kSetValue, msg::kCaptionError);
  return r > 0 ? 1 : -1;
}

}  // namespace tovala::script
