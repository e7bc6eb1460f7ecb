#pragma once
// Writing an animation out: as a PNG sequence, an animated GIF or an animated WebP.
//
// Frames are independent of each other, so they are drawn on every core: each drawing thread
// keeps its own copy of the document's model, puts it into the frame's pose
// (script/pose_apply.h) and draws the model picture. The caller's thread is one of them: it
// encodes the frames in order as they come in, reports progress, and draws frames while the next
// one to encode is not ready. The finished file is written atomically. The caller's document is
// never changed.
//
// The pictures show the figure as export/figure_drawing.h draws it: without the editor's working
// marks, smooth, at the size asked for, over the background or alone with its opacity. A GIF has
// no partial opacity: pixels at least half opaque keep their colour, the rest become the
// transparent index.
//
// The same export gives the same bytes on any number of threads: before its pose is applied,
// each frame's "rand" sequence starts from a state made from the frame's number, and the
// thread's own sequence is put back afterwards, so the editor's sequence is not disturbed.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/animation.h"
#include "export/figure_drawing.h"
#include "export/formats.h"
#include "model/image_store.h"

namespace tovala {

class Document;

struct AnimationExportOptions {
  // An animated format or a PNG sequence (export/formats.h).
  ExportFormat format = ExportFormat::Gif;
  // The file to write; for a PNG sequence the folder the pictures go into (it must exist),
  // named BASENAME_0001.png, BASENAME_0002.png ...
  std::string path;
  std::string baseName = "frame";
  // The pictures' size; 0 x 0 takes the canvas size times `scale`.
  int32_t width = 0, height = 0;
  double scale = 1.0;
  // Frames per second written; 0 keeps the animation's. Another rate keeps the animation's
  // duration, so the frames are taken at fractional animation frames.
  int32_t fps = 0;
  // The animation frames exported, first to last (both included); last -1: to the end.
  int32_t firstFrame = 0, lastFrame = -1;
  FigureLook look;
  bool lossless = true;  // WebP: lossless, or lossy at a high quality
  int threads = 0;       // threads drawing, the caller's among them; 0: one per core
};

// Called on the caller's thread after each frame is encoded, with the frames done and their
// total; returning false cancels the export.
using AnimationProgress = std::function<bool(int done, int total)>;

enum class ExportResult : uint8_t { Done, Cancelled, Failed };

// Shown when an export fails; the reason follows on the next line.
inline constexpr const char* kAnimationExportFailed = "アニメーションを書き出せません。";

// The state a frame's "rand" sequence starts from.
uint32_t frameRandomState(int frame);

// How many frames an export writes, and the animation frame (a fraction at another rate) the
// i-th of them shows.
int exportFrameCount(const Animation& anim, int32_t fps);
double exportFrameTime(const Animation& anim, int32_t fps, int i);

// Writes the animation. Done: the output is complete. Cancelled (progress returned false) or
// Failed (`reason` says why: bad options, a document without a canvas picture, a write that
// failed): nothing is left behind, and an output that existed before is as it was. The export
// never changes `doc`, and reads it only until the workers have their copies, which is before
// the first progress call: from then on a front end may let the user edit it (its text painter
// must stay alive until the export returns).
ExportResult exportAnimation(const Document& doc, const Animation& anim,
                             const AnimationExportOptions& options,
                             const AnimationProgress& progress, std::string& reason);

// Frame `frame` as the export draws it at width x height: `work` (a document the caller owns)
// is put into `pose`, with the frame's random sequence, and drawn by `drawer`; `alpha` is filled
// with the opacities when the look is transparent, else left empty. False when nothing could be
// drawn.
bool renderAnimationFrame(Document& work, const Pose& pose, int frame, const FigureLook& look,
                          int32_t width, int32_t height, FigureDrawer& drawer, ImageSlot& picture,
                          std::vector<uint8_t>& alpha);

}  // namespace tovala
