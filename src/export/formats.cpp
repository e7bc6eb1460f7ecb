#include "export/formats.h"

#include <array>
#include <cctype>
#include <filesystem>

namespace tovala {

namespace {

// Room is kept for formats that keep layers (a painting program's files, vector pictures) and
// for video: each is one more row.
constexpr std::array<ExportFormatInfo, 6> kFormats{{
    // format                    ext     name              still anim  trans  partial layers seq
    {ExportFormat::Png, "png", "PNG画像", true, false, true, true, false, false},
    {ExportFormat::Jpeg, "jpg", "JPEG画像", true, false, false, false, false, false},
    {ExportFormat::Bmp, "bmp", "BMP画像", true, false, false, false, false, false},
    {ExportFormat::Gif, "gif", "GIF", true, true, true, false, false, false},
    {ExportFormat::WebP, "webp", "WebP", true, true, true, true, false, false},
    {ExportFormat::PngSequence, "png", "PNG連番", false, true, true, true, false, true},
}};

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::span<const ExportFormatInfo> exportFormats() { return kFormats; }

const ExportFormatInfo& formatInfo(ExportFormat format) {
  for (const ExportFormatInfo& f : kFormats)
    if (f.format == format) return f;
  return kFormats.front();
}

const ExportFormatInfo* formatForExtension(std::string_view extension) {
  const std::string ext = lowered(extension);
  for (const ExportFormatInfo& f : kFormats)
    if (!f.sequence && (f.extension == ext || (f.format == ExportFormat::Jpeg && ext == "jpeg")))
      return &f;
  return nullptr;
}

const ExportFormatInfo* formatForOutput(const std::string& path, bool animation) {
  if (path.empty()) return nullptr;
  namespace fs = std::filesystem;
  std::error_code ec;
  const bool folder = path.back() == '/' || path.back() == '\\' || fs::is_directory(path, ec);
  if (folder) return animation ? &formatInfo(ExportFormat::PngSequence) : nullptr;
  std::string ext = fs::path(path).extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  const ExportFormatInfo* f = formatForExtension(ext);
  if (!f || !animation) return f;
  if (f->animated) return f;
  return f->format == ExportFormat::Png ? &formatInfo(ExportFormat::PngSequence) : nullptr;
}

std::string exportFileFilter(bool animation) {
  std::string filter;
  for (const ExportFormatInfo& f : kFormats) {
    if (animation ? !(f.animated || f.sequence) : !f.still) continue;
    filter += std::string(f.name) + "|*." + std::string(f.extension) + "|";
  }
  return filter + "|";
}

}  // namespace tovala
