#pragma once
// The one document of a run: lines with their points, images, texts, objects, settings, and the
// editing state the engine and shell share. Fields are public: every subsystem reads and writes
// them by index, after checking indices with isValidPick.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/image_store.h"
#include "model/records.h"

namespace tovala {

class Ui;
class TextPainter;

inline constexpr uint32_t kDefaultBackColor = 0x00FFFEFD;
inline constexpr int kWorkImageSlots = 8;
inline constexpr int32_t kDefaultImageWidth = 1000;
inline constexpr int32_t kDefaultImageHeight = 1200;

// Roles of the work images.
enum WorkImage : int {
  kDisplayImage = 0,
  kModelImage = 1,
  kScratchImage = 2,
  kScratchImage2 = 3,
  kFrontLayer = 4,
  kSelectedLayer = 5,
  kBackLayer = 6,
  kUnderlayImage = 7,
};

struct Vec3 {
  float x = 0, y = 0, z = 0;
  bool operator==(const Vec3&) const = default;
};

// The position, movement and rotation of one point, as saved when a drag starts.
struct PointMotion {
  float vdx = 0, vdy = 0, vdz = 0;
  float radx = 0, rady = 0, radz = 0;
};

// What the mouse is doing to the model: the editing mode, its sub-mode and the one-shot
// temporary mode, the view origin, and the values saved on a press for the following drag.
struct EditState {
  int mode = 1;  // 1: add a line
  int subMode = 0;
  int tempMode = 0;
  Vec3 viewOrigin;
  float unitLength = 20.0f;  // display length of a joint's unit vectors

  int pressX = 0, pressY = 0;
  std::vector<Vec3> pressPositions;       // every point of the selected line
  std::vector<PointMotion> pressMotions;  // movement and rotation of those points
  LineRecord pressLine;                   // full copy, for deforming
  std::array<float, 6> pressWhole{};      // VextX, VextY, VextZ, RadX, RadY, RadZ

  // Motion drags: the values before the latest step, so the ...Sel operations can undo them.
  std::array<float, 6> prevWhole{};  // VextX, VextY, VextZ, RadX, RadY, RadZ
  PointMotion prevMotion;            // of the selected point
  int dragAxis = 0;                  // 2 while the right button drags (depth)
  // Which lines a point pick accepts while a temporary mode runs: 1 joint lines, 2 CLine,
  // 3 OLine, 4 category 11, 5 category 12, 6 the selected line; anything else all lines.
  int pickFilter = 0;
  // How the canvas is shown: window pixels per canvas pixel (0 while it is shown nowhere, as in
  // tovala-cli) and device pixels per window pixel. Picking and the marks measure by them, so a
  // point is found and its mark seen at any zoom.
  float viewZoom = 0.0f;
  float deviceRatio = 1.0f;
};

// Whether a document keeps canvas-sized work images. A tool that only reads or changes the
// model (printing counts, posing, dumping) makes a document without them and saves the memory
// and the time of building seven pictures; buildCanvas adds them when drawing starts.
enum class Canvas { kBuilt, kNone };

class Document {
 public:
  explicit Document(Canvas canvas = Canvas::kBuilt);

  // --- images -------------------------------------------------------------------------------
  ImageStore workImages;
  int32_t imageWidth = kDefaultImageWidth;
  int32_t imageHeight = kDefaultImageHeight;
  uint32_t backColor = kDefaultBackColor;
  uint32_t penColor = 0;

  // --- defaults for new lines --------------------------------------------------------------
  int32_t defSpMin = 20;
  int32_t defSpMax = 40;
  double defSpDspX = 0.3;
  double defSpDspY = 0.3;
  std::array<float, 4> defBrush{2.0f, 2.0f, 1.98f, 0.0f};

  // --- the model ---------------------------------------------------------------------------
  std::vector<LineRecord> lines;
  ImageStore userImages;
  std::vector<int32_t> imageKeys;
  std::vector<TextRecord> texts;
  std::vector<int32_t> lineOrder;
  std::vector<ObjectRecord> objects;
  ObjectRecord scratchObject;
  // The current object as it was before the objects panel's latest change (its "戻す").
  ObjectRecord objectBackup;

  // --- settings ----------------------------------------------------------------------------
  int32_t curObject = 0;
  int32_t objectView = 0;
  int32_t frontToBack = 0;
  uint32_t skinColor = 0;
  float modelScale = 1.0f;
  float faceRef = 300.0f;
  int32_t perLine = 1;
  int32_t showUnderlay = 0;
  int32_t fileUndo = 0;
  int32_t markSize = 4;
  // How the canvas marks points (0 .. 6); "点表示切替" steps it. Not saved with the project.
  int32_t pointStyle = 0;
  int32_t curLine = 0;
  int32_t curPoint = 0;
  float VextX = 0, VextY = 0, VextZ = 0;
  float RadX = 0, RadY = 0, RadZ = 0;

  EditState edit;

  // Front-end services; never null (a silent Ui until a front end sets its own).
  Ui* ui;
  TextPainter* textPainter = nullptr;

  // Kept by the renderer between frames (render/frame.cpp): the back layer with the front layer
  // laid over it, so a drag step merges only the selected line. Not part of the model.
  struct LayerMergeCache {
    ImageSlot backAndFront;
    uint32_t backColor = 0;
    bool valid = false;
    std::array<int32_t, 4> selectedArea{};  // left, top, right, bottom drawn on the selected layer
    // First rows of the bands the last rebuild drew in, and the canvas height last: where the
    // next rebuild splits the canvas so each band takes about as long.
    std::vector<int32_t> bandEdges;
  } layerMerge;

  // --- counts (sentinels included) -----------------------------------------------------------
  int lineCount() const { return int(lines.size()); }
  int pointCount(int line) const { return int(lines[size_t(line)].points.size()); }
  int textCount() const { return int(texts.size()); }
  int objectCount() const { return int(objects.size()); }

  // --- checks and look-ups -------------------------------------------------------------------
  // 1 when line and point are valid indices together, -1 otherwise.
  int isValidPick(int line, int point) const;
  bool isValidLine(int line) const { return line >= 0 && line < lineCount() - 1; }
  int32_t nextLineNumber(int32_t extra = 0) const;
  int32_t nextPointNumber(int line, int32_t extra = 0) const;
  LineRecord makeDefaultLine() const;
  // Gives the line the document's default brush and line shape.
  void applyDefaultStyle(LineRecord& line) const {
    line.setStyle(defBrush, defSpMin, defSpMax, defSpDspX, defSpDspY);
  }
  static PointRecord makeDefaultPoint();
  // The sentinel point that follows `previous`: kind -1, the next free number, the vectors,
  // brush and shape of the point before it.
  PointRecord makeSentinelPoint(const PointRecord& previous, int32_t number) const;
  static void copyLine(LineRecord& destination, const LineRecord& source);
  int findLineByNumber(int32_t number) const;
  int findOrderPosition(int line) const;
  int findImageByKey(int32_t key) const;
  int findText(int32_t key) const;
  void storeText(const TextRecord& record);

  // --- lifecycle ---------------------------------------------------------------------------
  void clear();
  void reset();
  void create();

  // --- line order upkeep ---------------------------------------------------------------------
  // After the line at `removed` was deleted: its entry leaves, higher entries drop by one.
  void orderAfterDelete(int removed);
  // After a line was inserted at `inserted` (the line count already grown).
  void orderAfterInsert(int inserted);

  // --- user images ---------------------------------------------------------------------------
  int sentinelImageSlot() const { return userImages.slotCount() - 1; }
  void appendUserImage();
  void removeUserImage(int slot);
  // Reads a picture file for `line`: a file that cannot be read as an image shows its message
  // and changes nothing. False when nothing was loaded.
  bool loadLineImage(int line, const std::string& path);
  // Gives `line` the picture read by readPictureFile as a new user image.
  void adoptLineImage(int line, ImageSlot&& picture);
  void newLineImage(int line);
  void chooseLineImage(int line, int slot);
  void dropLineImage(int line);

  // Recreates work images 0, 1, 2 and 4 to 7 at the canvas size in the background colour
  // (nothing for a document without a canvas). Images of the right size are refilled in place.
  void recreateWorkImages();
  // Work images 0, 1, 2, 4, 5 and 6 at the canvas size in the background colour; the underlay
  // is left as it is.
  void recreateLayers();
  // Gives a document made without a canvas the model picture and the three layers; the display
  // buffer follows with the first buildDisplay, and the underlay stays as loaded.
  void buildCanvas();
  bool hasCanvas() const { return hasCanvas_; }
  // The kernel the paint tool stamps with.
  static BrushKernel paintKernel();

 private:
  bool hasCanvas_ = true;
};

// Reads a BMP, PNG or JPEG file into `out`, told apart by its content, not its name; shows the
// system's message and leaves `out` alone when the file is missing or not a readable picture.
bool readPictureFile(const std::string& path, Ui& ui, ImageSlot& out);

// Encodes "名無し", the name of a fresh object, as stored (Shift-JIS).
std::array<uint8_t, kObjectNameBytes> defaultObjectName();

}  // namespace tovala
