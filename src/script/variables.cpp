// Model variables: what each operand reference reads and writes, how its indices resolve at run
// time and how script values (always f32) convert to and from the typed fields.

#include <array>
#include <bit>

#include "model/document.h"
#include "platform/ui.h"
#include "script/fields.h"
#include "script/record_access.h"
#include "script/script_engine.h"
#include "script/script_messages.h"

namespace tovala::script {
namespace {

// Fills a table for record type R; `place` records one field code at a member of a probe record,
// so the offsets come from the compiler's own layout.
template <class R, class Fill>
FieldTable makeTable(Fill fill) {
  static const R probe{};
  FieldTable table{};
  auto place = [&](uint32_t code, FieldType type, const void* member, int shift = 0) {
    const auto offset = static_cast<const char*>(member) - reinterpret_cast<const char*>(&probe);
    table[code] = {type, uint8_t(shift), uint16_t(offset)};
  };
  fill(probe, place);
  return table;
}

}  // namespace

const FieldTable kPointFields = makeTable<PointRecord>([](const PointRecord& p, auto place) {
  using enum FieldType;
  place(0x01, I32, &p.kind);
  place(0x02, I32, &p.nam);
  place(0x03, I32, &p.mode);
  place(0x04, I32, &p.sel);
  place(0x05, I32, &p.aux);
  place(0x10, F32, &p.vx);
  place(0x11, F32, &p.vy);
  place(0x12, F32, &p.vz);
  place(0x20, F32, &p.v0x);
  place(0x21, F32, &p.v0y);
  place(0x22, F32, &p.v0z);
  place(0x30, F32, &p.radx);
  place(0x31, F32, &p.rady);
  place(0x32, F32, &p.radz);
  place(0x40, F32, &p.vdx);
  place(0x41, F32, &p.vdy);
  place(0x42, F32, &p.vdz);
  for (uint32_t i = 0; i < 3; ++i) {
    place(0x50 + i, F32, &p.unitX[i]);
    place(0x60 + i, F32, &p.unitY[i]);
    place(0x70 + i, F32, &p.unitZ[i]);
  }
  place(0xA0, F32, &p.pww);
  place(0xA1, F32, &p.pwh);
  place(0xA2, F32, &p.pwa);
  place(0xA3, F32, &p.pwk);
  place(0xB0, I32, &p.spmin);
  place(0xB1, I32, &p.spmax);
  place(0xB2, F64, &p.spdspx);
  place(0xB3, F64, &p.spdspy);
});

const FieldTable kLineFields = makeTable<LineRecord>([](const LineRecord& l, auto place) {
  using enum FieldType;
  place(0x01, I32, &l.kind);
  place(0x02, I32, &l.nam);
  place(0x03, I32, &l.mode);
  place(0x04, I32, &l.lmode);
  place(0x05, I32, &l.imgmode);
  place(0x06, I32, &l.sel);
  place(0x07, I32, &l.category);
  place(0x0A, F32, &l.w);
  place(0x0B, F32, &l.h);
  place(0x0C, F32, &l.depth);
  place(0x10, F32, &l.vx);
  place(0x11, F32, &l.vy);
  place(0x12, F32, &l.vz);
  place(0x20, F32, &l.v0x);
  place(0x21, F32, &l.v0y);
  place(0x22, F32, &l.v0z);
  place(0x30, F32, &l.radx);
  place(0x31, F32, &l.rady);
  place(0x32, F32, &l.radz);
  place(0x40, F32, &l.vdx);
  place(0x41, F32, &l.vdy);
  place(0x42, F32, &l.vdz);
  place(0x50, F32, &l.rectx);
  place(0x51, F32, &l.recty);
  place(0x52, F32, &l.rectw);
  place(0x53, F32, &l.recth);
  // A colour word whole (carried as its raw bits), then its red, green and blue bytes.
  place(0x60, ColorWord, &l.cr);
  place(0x70, ColorWord, &l.cb);
  for (int c = 0; c < 3; ++c) {
    place(0x61 + uint32_t(c), ColorByte, &l.cr, c * 8);
    place(0x71 + uint32_t(c), ColorByte, &l.cb, c * 8);
  }
  place(0xA0, F32, &l.brw);
  place(0xA1, F32, &l.brh);
  place(0xA2, F32, &l.bra);
  place(0xA3, F32, &l.brk);
  place(0xB0, I32, &l.spmin);
  place(0xB1, I32, &l.spmax);
  place(0xB2, F64, &l.spdspx);
  place(0xB3, F64, &l.spdspy);
});

namespace {

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

}  // namespace

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
  if (flag == kFlagPointVar || flag == kFlagLineVar) {
    void* record = fieldRecord(flag, code);
    if (!record) {
      ok = false;
      return 0.0f;
    }
    return readField(fieldSlotOf(flag, code), record);
  }
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
  if (flag != kFlagPointParam && flag != kFlagLineParam) return 0.0f;
  LineRecord* line = resolveLine(code);
  PointRecord* point = nullptr;
  if (line && flag == kFlagPointParam) {
    point = resolvePoint(*line, code);
    if (!point) line = nullptr;
  }
  const ParamEntry* p = line ? resolveParam(flag, code, *line, point) : nullptr;
  if (!p) ok = false;
  return p ? p->asFloat() : 0.0f;
}

int ScriptEngine::writeVariable(uint8_t flag, uint32_t code, float value) {
  if (flag == kFlagPointVar || flag == kFlagLineVar) {
    void* record = fieldRecord(flag, code);
    if (!record) return -1;
    return writeField(fieldSlotOf(flag, code), record, value) ? 1 : 0;
  }
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
  if (flag != kFlagPointParam && flag != kFlagLineParam) return 0;
  LineRecord* line = resolveLine(code);
  if (!line) return -1;
  PointRecord* point = nullptr;
  if (flag == kFlagPointParam) {
    point = resolvePoint(*line, code);
    if (!point) return -1;
  }
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
  // A field code without a field writes nothing and is no failure, as a read of it is none.
  const int r = writeVariable(flag, code, value);
  if (r < 0) doc_->ui->message(msg::kSetValue, msg::kCaptionError);
  return r < 0 ? -1 : 1;
}

}  // namespace tovala::script
