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
// The pictures are those the editor's model picture shows (every layer over the background
// colour), or with `transparent` the figure alone with its opacity (render/figure_alpha.h).
// A GIF has no partial opacity: pixels at least half opaque keep their colour, the rest become
// the transparent index.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/animation.h"
#include "model/image_store.h"

namespace tovala {

class Document;

enum class AnimationFormat : uint8_t { PngSequence, Gif, WebP };

struct AnimationExportOptions {
  AnimationFormat format = AnimationFormat::Gif;
  // The file to write; for a PNG sequence the folder the pictures go into (it must exist),
  // named BASENAME_0001.png, BASENAME_0002.png ...
  std::string path;
  std::string baseName = "frame";
  // The pictures' size; 0 x 0 keeps the canvas size. Frames are drawn at the canvas size and
  // resampled (averaged when smaller, interpolated when larger).
  int32_t width = 0, height = 0;
  // Frames per second written; 0 keeps the animation's. Another rate keeps the animation's
  // duration, so the frames are taken at fractional animation frames.
  int32_t fps = 0;
  bool transparent = false;
  bool lossless = true;  // WebP: lossless, or lossy at a high quality
  int threads = 0;       // threads drawing, the caller's among them; 0: one per core
};

// Called on the caller's thread after each frame is encoded, with the frames done and their
// total; returning false cancels the export.
using AnimationProgress = std::function<bool(int done, int total)>;

enum class ExportResult : uint8_t { Done, Cancelled, Failed };

// Shown when an export fails; the reason follows on the next line.
inline constexpr const char* kAnimationExportFailed = "アニメーションを書き出せません。";

// The format a path asks for: ".gif", ".webp" (either case), or a folder (a path ending in '/'
// or naming an existing folder) for a PNG sequence. False for anything else.
bool animationFormatForPath(const std::string& path, AnimationFormat& format);

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

// One frame as the export draws it, at the canvas size: `work` (a document the caller owns,
// with a canvas) is put into `pose` and drawn; `alpha` is filled with the opacities when
// `transparent`, else left empty. False when the document has no model picture.
bool renderAnimationFrame(Document& work, const Pose& pose, bool transparent, ImageSlot& picture,
                          std::vector<uint8_t>& alpha);

}  // namespace tovala
