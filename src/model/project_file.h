#pragma once
// Project files (".tov"): the whole document as one little-endian payload, stored in the HC
// container when the user saves or opens, and plain for the undo ring's snapshots.
//
// Reading never leaves a half-read document: the payload is parsed into separate structures
// first (every count checked against what the file holds before anything is allocated) and the
// document is changed only when all of it was read. A refused file shows
// "ファイルの読込みに失敗しました。" and the document stays exactly as it was.
//
// The readers do not draw. After a successful loadProject the caller rebuilds the picture: the
// back, front and selected layers (rebuildLayers, refreshSelected) and the canvas composition.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "model/hc_container.h"
#include "model/record_io.h"

namespace tovala {

class Document;
class Ui;

inline constexpr const char* kProjectExtension = "tov";
inline constexpr const char* kProjectOpenFilter = "TOVファイル|*.tov|すべてのファイル|*.*||";
inline constexpr const char* kProjectSaveFilter = "TOVファイル|*.tov||";

// --- what a saved project can hold ------------------------------------------------------------
// A saved project is one HC container, whose 24-bit length holds at most kHcMaxPayload bytes.
// What grows with the canvas is the underlay (work image 7), stored at the canvas size as a
// 24-bit picture with 4-byte rows; a new document's other items take the rest of
// kNewProjectBytes. The limit is therefore on width and height together.

// A new document's payload without its underlay's pixel rows: header, movement and rotation, the
// sentinel line, reserved word, canvas, slot count, the underlay's entry, scale, one order entry,
// the object and the text.
inline constexpr size_t kNewProjectBytes = 4 + 4 + 24 + kLineMinBytes + 4 + 12 + 4 +
                                           kImageEntryMinBytes + 4 + 4 + 4 + kObjectBlockBytes + 4 +
                                           kTextBlockBytes;

// The payload size of a new document on a w x h canvas.
constexpr size_t newProjectBytes(int w, int h) {
  return kNewProjectBytes + size_t((3 * int64_t(w) + 3) & ~int64_t(3)) * size_t(h);
}

// Whether a canvas of w x h can be saved and opened again: each side 1 to kMaxCanvasSide (what
// the reader takes) and a new document of that size within the container.
constexpr bool canvasFits(int w, int h) {
  return w >= 1 && h >= 1 && w <= kMaxCanvasSide && h <= kMaxCanvasSide &&
         newProjectBytes(w, h) <= kHcMaxPayload;
}

// The side of the largest square canvas that fits, which the refusal names.
constexpr int largestSquareCanvas() {
  int side = kMaxCanvasSide;
  while (side > 1 && !canvasFits(side, side)) --side;
  return side;
}
inline constexpr int kLargestSquareCanvas = largestSquareCanvas();

// The project payload of the document.
std::vector<uint8_t> writeProjectPayload(const Document& doc);

// Replaces the document's content with the payload's. Returns false (document unchanged) when
// the payload is cut short or its counts or sizes exceed what it holds or what the records take.
// Like Document::clear, a successful read sets the editing mode to 1, its sub-mode to 0 and
// the selected line and point to 0; callers that keep them (the undo ring) save them first.
bool readProjectPayload(Document& doc, std::span<const uint8_t> payload);

// Checks a payload without touching any document: true when readProjectPayload would accept
// it. `width` and `height`, when given, receive the canvas size it names.
bool inspectProjectPayload(std::span<const uint8_t> payload, int32_t* width = nullptr,
                           int32_t* height = nullptr);

// Writes the project atomically (HC container when `compressed`); on failure shows
// "ファイルの書出しに失敗しました。" (caption "エラー") and leaves any existing file as it was.
// A payload too long for the container is refused before anything is written, saying why:
// msg::kCanvasTooLarge when the canvas itself does not fit (a document from an old file, or a
// snapshot), msg::kTooLargeToSave otherwise (pictures or lines beyond the container).
bool saveProject(const Document& doc, const std::string& path, bool compressed);

// Reads a project (HC container when `compressed`). On failure shows the container's message,
// if any, then "ファイルの読込みに失敗しました。" (caption "エラー"); the document is unchanged.
// A compressed read is a user's open: the view state is then reset as well (resetViewAfterOpen).
bool loadProject(Document& doc, const std::string& path, bool compressed);

// The file forms shared with parts files: the payload written atomically, in the HC container
// when `compressed`, with "ファイルの書出しに失敗しました。" on failure (msg::kTooLargeToSave for a
// payload the container cannot hold); and the payload read
// back and handed to `apply`, with the container's message (if any) and then
// "ファイルの読込みに失敗しました。" when the file cannot be read or `apply` refuses it.
bool writePayloadFile(Ui& ui, const std::string& path, std::vector<uint8_t> payload,
                      bool compressed);
bool loadPayloadFile(Ui& ui, const std::string& path, bool compressed,
                     const std::function<bool(std::span<const uint8_t>)>& apply);

// The view and editing state after opening a project: each line with its own brush, editing
// mode 1 with sub-mode 0 and no temporary mode, mark size 4, line and point 0, normal drawing
// from the back.
void resetViewAfterOpen(Document& doc);

}  // namespace tovala
