#pragma once
// The one table of the picture and animation formats an export can write, keyed by the file
// name's extension, with what each can hold. The editor's export dialog, its menu commands and
// tovala-cli choose a format from this table alone, so a format added here is offered
// everywhere at once.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tovala {

enum class ExportFormat : uint8_t { Png, Jpeg, Bmp, Gif, WebP, PngSequence };

struct ExportFormatInfo {
  ExportFormat format;
  std::string_view extension;  // lower case, without the dot
  std::string_view name;       // as the export dialog lists it
  bool still;                  // one picture
  bool animated;               // a whole animation in one file
  bool transparency;           // keeps a pixel's opacity
  bool partialOpacity;         // in steps between clear and opaque, not only on or off
  bool layers;                 // keeps the figure's pieces apart
  bool sequence;               // one picture a frame, into a folder
};

// Every format, in the order the dialog lists them.
std::span<const ExportFormatInfo> exportFormats();

const ExportFormatInfo& formatInfo(ExportFormat format);

// The format a file name asks for by its extension, in either case; null for any other. A PNG
// sequence has no extension of its own: formatForOutput decides it.
const ExportFormatInfo* formatForExtension(std::string_view extension);

// The format of an output path: an existing folder or a path ending in a separator is a PNG
// sequence when `animation`; otherwise the extension decides, and for an animation a still
// format other than PNG is refused, while ".png" stands for a PNG sequence NAME_0001.png ... in
// the file's folder. Null when the path asks for nothing this table writes.
const ExportFormatInfo* formatForOutput(const std::string& path, bool animation);

// The file name filter of a save dialog: "NAME|*.ext|NAME|*.ext||", stills or animations.
std::string exportFileFilter(bool animation);

}  // namespace tovala
