#include "cli/json_form.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>

#include "cli/json_values.h"
#include "codec/bmp.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/messages.h"
#include "model/project_file.h"
#include "model/record_io.h"
#include "platform/encoding.h"
#include "platform/ui.h"

namespace tovala::cli {
namespace {

// --- field lists, walked by the writer (JsonOut) and the reader (JsonIn) ----------------------

template <class Io, class Point>
void pointFields(Io& io, Point& p) {
  io("kind", p.kind), io("nam", p.nam), io("mode", p.mode), io("sel", p.sel), io("aux", p.aux);
  io("vx", p.vx), io("vy", p.vy), io("vz", p.vz), io("v0x", p.v0x), io("v0y", p.v0y);
  io("v0z", p.v0z), io("radx", p.radx), io("rady", p.rady), io("radz", p.radz);
  io("vdx", p.vdx), io("vdy", p.vdy), io("vdz", p.vdz);
  io("unitX", p.unitX), io("unitY", p.unitY), io("unitZ", p.unitZ);
  io("pww", p.pww), io("pwh", p.pwh), io("pwa", p.pwa), io("pwk", p.pwk);
  io("spmin", p.spmin), io("spmax", p.spmax), io("spdspx", p.spdspx), io("spdspy", p.spdspy);
}

template <class Io, class Line>
void lineFields(Io& io, Line& l) {
  io("kind", l.kind), io("nam", l.nam), io("mode", l.mode), io("lmode", l.lmode);
  io("imgmode", l.imgmode), io("sel", l.sel), io("category", l.category);
  io("w", l.w), io("h", l.h), io("depth", l.depth);
  io("vx", l.vx), io("vy", l.vy), io("vz", l.vz), io("v0x", l.v0x), io("v0y", l.v0y);
  io("v0z", l.v0z), io("radx", l.radx), io("rady", l.rady), io("radz", l.radz);
  io("vdx", l.vdx), io("vdy", l.vdy), io("vdz", l.vdz);
  io("rectx", l.rectx), io("recty", l.recty), io("rectw", l.rectw), io("recth", l.recth);
  io("cr", l.cr), io("cb", l.cb);
  io("brw", l.brw), io("brh", l.brh), io("bra", l.bra), io("brk", l.brk);
  io("spmin", l.spmin), io("spmax", l.spmax), io("spdspx", l.spdspx), io("spdspy", l.spdspy);
}

template <class Io, class Doc>
void documentFields(Io& io, Doc& d) {
  io("imageWidth", d.imageWidth), io("imageHeight", d.imageHeight);
  io("backColor", d.backColor), io("penColor", d.penColor);
  io("defSpMin", d.defSpMin), io("defSpMax", d.defSpMax);
  io("defSpDspX", d.defSpDspX), io("defSpDspY", d.defSpDspY);
  io("defBrush", d.defBrush), io("modelScale", d.modelScale), io("faceRef", d.faceRef);
  io("skinColor", d.skinColor), io("perLine", d.perLine), io("showUnderlay", d.showUnderlay);
  io("markSize", d.markSize), io("objectView", d.objectView), io("frontToBack", d.frontToBack);
  io("curLine", d.curLine), io("curPoint", d.curPoint);
  io("VextX", d.VextX), io("VextY", d.VextY), io("VextZ", d.VextZ);
  io("RadX", d.RadX), io("RadY", d.RadY), io("RadZ", d.RadZ);
}

struct JsonOut {
  Json& j;
  template <class T>
  void operator()(const char* key, const T& v) {
    j[key] = toJson(v);
  }
};

struct JsonIn {
  FormReader& f;
  const Json& obj;
  const std::string& path;
  template <class T>
  void operator()(const char* key, T& v) {
    f.member(obj, key, path, v);
  }
};

// --- parameters, code and points -------------------------------------------------------------

template <class Owner>
void listsToJson(const Owner& o, Json& j) {
  j["paramChanged"] = o.paramChanged;
  Json params = Json::array();
  for (const ParamEntry& e : o.params)
    params.push_back(Json::array({e.key, e.sub, e.value, toJson(e.asFloat())}));
  j["params"] = std::move(params);
  j["codeChanged"] = o.codeChanged;
  Json code = Json::array();
  for (const CodeEntry& c : o.code) code.push_back(Json::array({c.flag, c.code}));
  j["code"] = std::move(code);
}

template <class Owner>
bool listsFromJson(FormReader& f, const Json& obj, const std::string& path, Owner& o) {
  f.member(obj, "paramChanged", path, o.paramChanged);
  f.member(obj, "codeChanged", path, o.codeChanged);
  f.records(obj, "params", path, o.params, 12,
            [&](const Json& e, const std::string& at, ParamEntry& p) {
              return f.tuple(e, at, 3) && f.get(e[0], at + "[0]", p.key) &&
                     f.get(e[1], at + "[1]", p.sub) && f.get(e[2], at + "[2]", p.value);
            });
  f.records(obj, "code", path, o.code, 8, [&](const Json& e, const std::string& at, CodeEntry& c) {
    return f.tuple(e, at, 2) && f.get(e[0], at + "[0]", c.flag) && f.get(e[1], at + "[1]", c.code);
  });
  return !f.failed();
}

Json lineToJson(const LineRecord& l) {
  Json j = Json::object();
  JsonOut out{j};
  lineFields(out, l);
  listsToJson(l, j);
  Json points = Json::array();
  for (const PointRecord& p : l.points) {
    Json pj = Json::object();
    JsonOut pout{pj};
    pointFields(pout, p);
    listsToJson(p, pj);
    points.push_back(std::move(pj));
  }
  j["points"] = std::move(points);
  return j;
}

bool lineFromJson(FormReader& f, const Json& j, const std::string& path, LineRecord& l) {
  if (!f.object(j, path)) return false;
  JsonIn in{f, j, path};
  lineFields(in, l);
  listsFromJson(f, j, path, l);
  f.records(j, "points", path, l.points, kPointFixedBytes,
            [&](const Json& e, const std::string& at, PointRecord& p) {
              if (!f.object(e, at)) return false;
              JsonIn pin{f, e, at};
              pointFields(pin, p);
              return listsFromJson(f, e, at, p);
            });
  return !f.failed();
}

// --- texts and objects -----------------------------------------------------------------------

Json textToJson(const TextRecord& t) {
  const size_t shown = size_t(std::clamp(t.length, 0, kTextBytes));
  return Json{{"key", t.key},
              {"length", t.length},
              {"color", t.color},
              {"font", hexBytes(t.font)},
              {"text", sjisToUtf8(std::span<const uint8_t>(t.text.data(), shown))},
              {"bytes", hexBytes(t.text)}};
}

bool textFromJson(FormReader& f, const Json& j, const std::string& path, TextRecord& t) {
  if (!f.object(j, path)) return false;
  f.member(j, "key", path, t.key);
  f.member(j, "color", path, t.color);
  f.bytesMember(j, "font", path, t.font);
  bool lengthGiven = j.contains("length");
  if (j.contains("bytes")) {
    f.bytesMember(j, "bytes", path, t.text);
  } else if (j.contains("text")) {
    const size_t n = f.textMember(j, "text", path, t.text);
    if (!lengthGiven) t.length = int32_t(n);
  }
  f.member(j, "length", path, t.length);
  if (!f.failed() && (t.length < 0 || t.length > kTextBytes))
    f.fail(path + ".length", "must be 0 to 128");
  return !f.failed();
}

Json objectToJson(const ObjectRecord& o) {
  size_t nameLength = 0;
  while (nameLength < o.name.size() && o.name[nameLength] != 0) ++nameLength;
  return Json{{"header", o.header},
              {"A", o.a},
              {"B", o.b},
              {"C", o.c},
              {"D", o.d},
              {"name", sjisToUtf8(std::span<const uint8_t>(o.name.data(), nameLength))},
              {"nameBytes", hexBytes(o.name)}};
}

bool objectFromJson(FormReader& f, const Json& j, const std::string& path, ObjectRecord& o) {
  if (!f.object(j, path)) return false;
  f.member(j, "header", path, o.header);
  f.member(j, "A", path, o.a);
  f.member(j, "B", path, o.b);
  f.member(j, "C", path, o.c);
  f.member(j, "D", path, o.d);
  if (j.contains("nameBytes"))
    f.bytesMember(j, "nameBytes", path, o.name);
  else if (j.contains("name"))
    f.textMember(j, "name", path, o.name);
  return !f.failed();
}

// --- pictures --------------------------------------------------------------------------------

bool pictureToJson(const ImageSlot* s, Json& j, const std::string& folder, const std::string& name,
                   std::string& error) {
  const bool present = s && s->present;
  j["width"] = present ? s->width : 0;
  j["height"] = present ? s->height : 0;
  j["crc32"] = present ? pixelCrc(s->pixels.data(), s->pixels.size()) : pixelCrc(nullptr, 0);
  if (folder.empty() || !present) return true;
  const std::string path = folder + "/" + name + ".bmp";
  if (!writeFileAtomic(path, encodeBmp(*s))) {
    error = "cannot write " + path;
    return false;
  }
  j["bmp"] = path;
  return true;
}

// A picture from its entry: the BMP file it names, or a blank of its size in the background
// colour; 0 x 0 is an empty slot.
bool pictureFromJson(FormReader& f, const Json& j, const std::string& path, ImageStore& store,
                     int slot, uint32_t colour, Ui& ui) {
  if (!f.object(j, path)) return false;
  if (j.contains("bmp")) {
    std::string file;
    if (!f.member(j, "bmp", path, file)) return false;
    if (!store.loadPicture(slot, file, ui)) return f.fail(path + ".bmp", "cannot read " + file);
    return true;
  }
  int32_t width = 0, height = 0;
  if (!f.member(j, "width", path, width) || !f.member(j, "height", path, height)) return false;
  if (width == 0 && height == 0) {
    store.release(slot);
    return true;
  }
  if (width < 1 || width > kMaxCanvasSide) return f.fail(path + ".width", "must be 1 to 10000");
  if (height < 1 || height > kMaxCanvasSide) return f.fail(path + ".height", "must be 1 to 10000");
  if (!f.reserve(path, uint64_t(width) * uint64_t(height), 3)) return false;
  store.makeBlank(slot, width, height, colour);
  return true;
}

bool imagesFromJson(FormReader& f, const Json& form, Document& doc) {
  if (form.contains("userImages")) {
    const Json& list = form["userImages"];
    if (!f.array(list, "userImages", 1) ||
        !f.reserve("userImages", list.size(), kImageEntryMinBytes))
      return false;
    doc.userImages.initStore(int(list.size()));
    doc.userImages.kernel = Document::paintKernel();
    doc.imageKeys.assign(list.size(), 0);
    for (size_t i = 0; i < list.size(); ++i) {
      const std::string at = "userImages[" + std::to_string(i) + "]";
      if (!pictureFromJson(f, list[i], at, doc.userImages, int(i), doc.backColor, *doc.ui))
        return false;
      f.member(list[i], "key", at, doc.imageKeys[i]);
    }
  }
  if (form.contains("imageKeys")) {
    std::vector<int32_t> keys;
    if (!f.member(form, "imageKeys", "", keys)) return false;
    if (keys.size() != size_t(doc.userImages.slotCount()))
      return f.fail("imageKeys", "needs one key per user image slot");
    doc.imageKeys = std::move(keys);
  }
  if (form.contains("underlay"))
    return pictureFromJson(f, form["underlay"], "underlay", doc.workImages, kUnderlayImage,
                           doc.backColor, *doc.ui);
  return !f.failed();
}

}  // namespace

std::string pixelCrc(const void* data, size_t size) {
  uLong crc = crc32_z(0L, Z_NULL, 0);
  if (size) crc = crc32_z(crc, static_cast<const Bytef*>(data), size);
  char text[16];
  std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(crc));
  return text;
}

bool parseJsonForm(std::string_view text, Json& out, std::string& error) {
  if (error = jsonLimitFault(text, kJsonFormLimits); !error.empty()) return false;
  out = Json::parse(text.begin(), text.end(), nullptr, false);
  if (out.is_discarded()) return error = "not valid JSON", false;
  return true;
}

bool documentToJson(const Document& doc, Json& out, std::string& error,
                    const std::string& imageFolder) {
  out = Json::object();
  out["format"] = kJsonFormatName;
  out["version"] = kJsonFormatVersion;
  JsonOut top{out};
  documentFields(top, doc);
  out["lineOrder"] = doc.lineOrder;
  Json lines = Json::array();
  for (const LineRecord& l : doc.lines) lines.push_back(lineToJson(l));
  out["lines"] = std::move(lines);
  Json texts = Json::array();
  for (const TextRecord& t : doc.texts) texts.push_back(textToJson(t));
  out["texts"] = std::move(texts);
  Json objects = Json::array();
  for (const ObjectRecord& o : doc.objects) objects.push_back(objectToJson(o));
  out["objects"] = std::move(objects);
  out["imageKeys"] = doc.imageKeys;
  Json images = Json::array();
  for (int i = 0; i < doc.userImages.slotCount(); ++i) {
    Json e{{"key", size_t(i) < doc.imageKeys.size() ? doc.imageKeys[size_t(i)] : 0}};
    if (!pictureToJson(doc.userImages.image(i), e, imageFolder, "userimage" + std::to_string(i),
                       error))
      return false;
    images.push_back(std::move(e));
  }
  out["userImages"] = std::move(images);
  Json underlay = Json::object();
  if (!pictureToJson(doc.workImages.image(kUnderlayImage), underlay, imageFolder, "underlay",
                     error))
    return false;
  out["underlay"] = std::move(underlay);
  return true;
}

bool documentFromJson(const Json& form, Document& doc, std::string& error) {
  error.clear();
  FormReader f(error);
  if (!f.object(form, "(document)")) return false;
  std::string format = kJsonFormatName;
  int32_t version = kJsonFormatVersion;
  f.member(form, "format", "", format);
  f.member(form, "version", "", version);
  if (!f.failed() && format != kJsonFormatName) f.fail("format", "must be \"tovala\"");
  if (!f.failed() && version != kJsonFormatVersion) f.fail("version", "must be 1");
  JsonIn top{f, form, std::string()};
  documentFields(top, doc);
  if (f.failed()) return false;
  if (doc.imageWidth < 1 || doc.imageWidth > kMaxCanvasSide)
    return f.fail("imageWidth", "must be 1 to 10000");
  if (doc.imageHeight < 1 || doc.imageHeight > kMaxCanvasSide)
    return f.fail("imageHeight", "must be 1 to 10000");
  if (!canvasFits(doc.imageWidth, doc.imageHeight))  // before the work images are made
    return f.fail("imageWidth, imageHeight", msg::kCanvasTooLarge);
  doc.recreateWorkImages();

  const LineRecord fresh = doc.makeDefaultLine();
  f.records(form, "lines", "", doc.lines, kLineFixedBytes,
            [&](const Json& e, const std::string& at, LineRecord& l) {
              l = fresh;
              return lineFromJson(f, e, at, l);
            });
  if (f.failed()) return false;
  doc.lineOrder.resize(doc.lines.size());
  for (size_t i = 0; i < doc.lineOrder.size(); ++i) doc.lineOrder[i] = int32_t(i);
  if (form.contains("lineOrder")) {
    if (!f.member(form, "lineOrder", "", doc.lineOrder)) return false;
    if (doc.lineOrder.size() != doc.lines.size())
      return f.fail("lineOrder", "needs one entry per line, the sentinel included");
  }
  f.records(form, "texts", "", doc.texts, kTextBlockBytes,
            [&](const Json& e, const std::string& at, TextRecord& t) {
              return textFromJson(f, e, at, t);
            });
  f.records(
      form, "objects", "", doc.objects, kObjectBlockBytes,
      [&](const Json& e, const std::string& at, ObjectRecord& o) {
        return objectFromJson(f, e, at, o);
      },
      0);
  if (f.failed()) return false;
  return imagesFromJson(f, form, doc);
}

}  // namespace tovala::cli
