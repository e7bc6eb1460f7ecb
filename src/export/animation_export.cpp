#include "export/animation_export.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <latch>
#include <memory>
#include <mutex>
#include <thread>

#include "codec/gif_file.h"
#include "codec/png_file.h"
#include "codec/webp_file.h"
#include "engine/animation_file.h"
#include "model/document.h"
#include "model/file_io.h"
#include "model/model_state.h"
#include "platform/text_painter.h"
#include "platform/ui.h"
#include "script/builtins.h"
#include "script/pose_apply.h"

namespace tovala {

namespace {

namespace fs = std::filesystem;

// At most this many worker threads, whatever the machine has.
constexpr int kMostThreads = 64;
constexpr int kWebpMaxSide = 16383;

// The front end's text painter is not made to be called from several threads at once: the
// workers take turns.
class SharedTextPainter : public TextPainter {
 public:
  explicit SharedTextPainter(TextPainter& painter) : painter_(painter) {}
  GlyphMask renderGlyph(std::span<const uint8_t> sjisChar, const LogFont& font) override {
    std::lock_guard lock(mutex_);
    return painter_.renderGlyph(sjisChar, font);
  }

 private:
  TextPainter& painter_;
  std::mutex mutex_;
};

// A frame ready for the encoder: what the worker could do of the encoding ahead of time.
struct Prepared {
  bool ready = false;
  bool failed = false;
  int index = -1;
  std::vector<uint8_t> png;   // a PNG sequence's file
  GifFrame gif;               // a GIF's palette and indices
  std::vector<uint8_t> rgba;  // a WebP's picture
};

// Everything one worker keeps from frame to frame.
struct Worker {
  // The model and the drawing settings are copied, not the source's canvas: posing needs none,
  // and the drawer draws in a document of its own at the size it needs. Copying the seven
  // canvas-sized pictures per worker, all of them page-faulted at once, took longer than drawing
  // several frames.
  explicit Worker(const Document& src) : doc(Canvas::kNone) {
    ModelState state;
    ModelStateCapture().capture(src, state);
    restoreModelState(doc, state);
    doc.edit = src.edit;
    doc.pointStyle = src.pointStyle;
    doc.fileUndo = src.fileUndo;
    doc.workImages.kernel = src.workImages.kernel;
  }
  Document doc;
  Pose pose;
  FigureDrawer drawer;
  ImageSlot picture;
  std::vector<uint8_t> alpha, rgba;
};

void toRgba(const ImageSlot& picture, std::span<const uint8_t> alpha, std::vector<uint8_t>& out) {
  out.resize(size_t(picture.width) * size_t(picture.height) * 4);
  uint8_t* d = out.data();
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* s = picture.row(y);
    const uint8_t* a = alpha.empty() ? nullptr : alpha.data() + size_t(y) * size_t(picture.width);
    for (int x = 0; x < picture.width; ++x, s += 3, d += 4) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      d[3] = a ? a[x] : 255;
    }
  }
}

// The frames handed between the threads. Frames are drawn at most `window` ahead of the encoder,
// each frame in slot index % window, so the slots' buffers serve frame after frame.
class FrameQueue {
 public:
  FrameQueue(int total, int window) : total_(total), slots_(size_t(window)) {}

  // The next frame for a helper thread to draw, or -1 when there is none left or the export
  // stops.
  int take() {
    std::unique_lock lock(mutex_);
    toHelpers_.wait(lock, [&] { return stop_ || next_ >= total_ || next_ < encoded_ + window(); });
    if (stop_ || next_ >= total_) return -1;
    return next_++;
  }
  // The caller's thread: frame `index` (the next to encode) when it is ready, or else a frame
  // to draw in the meantime, or else waits for `index`. True with `draw` -1 when `index` is
  // ready, true with `draw` set for a frame to draw, false when `index` failed.
  bool readyOrTake(int index, int& draw) {
    std::unique_lock lock(mutex_);
    Prepared& p = slot(index);
    draw = -1;
    if (!(p.ready && p.index == index) && !stop_ && next_ < total_ &&
        next_ < encoded_ + window()) {
      draw = next_++;
      return true;
    }
    toEncoder_.wait(lock, [&] { return p.ready && p.index == index; });
    return !p.failed;
  }
  Prepared& slot(int index) { return slots_[size_t(index % window())]; }
  void done(int index, bool ok) {
    {
      std::lock_guard lock(mutex_);
      Prepared& p = slot(index);
      p.index = index;
      p.failed = !ok;
      p.ready = true;
    }
    toEncoder_.notify_one();
  }
  void release(int index) {
    {
      std::lock_guard lock(mutex_);
      slot(index).ready = false;
      ++encoded_;
    }
    toHelpers_.notify_all();
  }
  void stop() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    toHelpers_.notify_all();
  }

 private:
  int window() const { return int(slots_.size()); }
  std::mutex mutex_;
  std::condition_variable toHelpers_, toEncoder_;
  const int total_;
  int next_ = 0, encoded_ = 0;
  bool stop_ = false;
  std::vector<Prepared> slots_;
};

// Draws frame `index` and does the worker's part of its encoding.
bool prepareFrame(const Animation& anim, const AnimationExportOptions& options, int32_t fps,
                  int index, Worker& w, Prepared& out) {
  poseAtFrame(anim, options.firstFrame + exportFrameTime(anim, fps, index), w.pose);
  // Each worker keeps to its own thread (one drawing thread): the frames already fill every core.
  if (!renderAnimationFrame(w.doc, w.pose, index, options.look, options.width, options.height,
                            w.drawer, w.picture, w.alpha))
    return false;
  switch (options.format) {
    case ExportFormat::PngSequence:
      out.png = encodePng(w.picture, w.alpha);
      return !out.png.empty();
    case ExportFormat::Gif:
      toRgba(w.picture, w.alpha, w.rgba);
      return quantizeGifFrame(w.rgba, w.picture.width, w.picture.height, options.look.transparent,
                              out.gif);
    case ExportFormat::WebP:
      toRgba(w.picture, w.alpha, out.rgba);
      return true;
    default:
      return false;
  }
}

// Puts the prepared frames into the output in order.
class Encoder {
 public:
  Encoder(const AnimationExportOptions& options, int32_t fps, int total)
      : options_(options), fps_(fps), total_(total) {}
  ~Encoder() {
    if (!tempFolder_.empty()) {
      std::error_code ec;
      fs::remove_all(tempFolder_, ec);
    }
  }

  bool add(int index, const Prepared& frame, std::string& reason) {
    switch (options_.format) {
      case ExportFormat::PngSequence: {
        if (index == 0 && !makeTempFolder(reason)) return false;
        if (!writeFileAtomic((tempFolder_ / pngName(index)).string(), frame.png))
          return reason = "書き込めません: " + (tempFolder_ / pngName(index)).string(), false;
        return true;
      }
      case ExportFormat::Gif:
        if (!gif_.add(frame.gif, gifDelay(index, fps_)))
          return reason = "GIF の符号化に失敗しました", false;
        return true;
      case ExportFormat::WebP: {
        const int32_t w = options_.width, h = options_.height;
        if (index == 0 && !webp_.start(w, h, options_.lossless))
          return reason = "WebP の符号化を始められません", false;
        if (!webp_.add(frame.rgba, timeMs(index)))
          return reason = "WebP の符号化に失敗しました", false;
        return true;
      }
      default:
        break;
    }
    return false;
  }

  // Writes the output once every frame is in.
  bool finish(std::string& reason) {
    std::vector<uint8_t> bytes;
    switch (options_.format) {
      case ExportFormat::PngSequence:
        return moveIntoPlace(reason);
      case ExportFormat::Gif:
        bytes = gif_.finish();
        break;
      case ExportFormat::WebP:
        bytes = webp_.finish(timeMs(total_));
        break;
      default:
        break;
    }
    if (bytes.empty()) return reason = "符号化に失敗しました", false;
    if (!writeFileAtomic(options_.path, bytes))
      return reason = "書き込めません: " + options_.path, false;
    return true;
  }

 private:
  int timeMs(int index) const { return int(std::lround(1000.0 * index / fps_)); }

  std::string pngName(int index) const {
    const size_t digits = std::max<size_t>(4, std::to_string(total_).size());
    std::string number = std::to_string(index + 1);
    number.insert(0, digits - std::min(digits, number.size()), '0');
    return options_.baseName + "_" + number + ".png";
  }

  // The pictures are written into a hidden folder beside their place first and moved in only
  // when all are there, so a cancelled or failed export leaves the folder as it was.
  bool makeTempFolder(std::string& reason) {
    const fs::path folder(options_.path);
    std::error_code ec;
    for (int n = 0; n < 1000; ++n) {
      const fs::path candidate = folder / ("." + options_.baseName + ".part" + std::to_string(n));
      if (fs::create_directory(candidate, ec)) {
        tempFolder_ = candidate;
        return true;
      }
      if (ec) break;
    }
    return reason = "一時フォルダを作れません: " + folder.string(), false;
  }

  // Every new picture goes in, or none: a picture it replaces is first moved aside into the
  // working folder, and on a failure the new ones come out again and the old ones go back.
  bool moveIntoPlace(std::string& reason) {
    std::error_code ec;
    const fs::path folder(options_.path);
    const fs::path aside = tempFolder_ / "previous";
    std::vector<bool> replaced(size_t(total_), false);
    int moved = 0;
    bool ok = fs::create_directory(aside, ec) || fs::is_directory(aside, ec);
    for (; ok && moved < total_; ++moved) {
      const fs::path target = folder / pngName(moved);
      if (fs::exists(fs::symlink_status(target, ec))) {
        fs::rename(target, aside / pngName(moved), ec);
        if (ec) break;
        replaced[size_t(moved)] = true;
      }
      fs::rename(tempFolder_ / pngName(moved), target, ec);
      if (ec) break;
    }
    if (ok && moved == total_) return true;
    const std::string failed = (folder / pngName(std::min(moved, total_ - 1))).string();
    for (int i = std::min(moved, total_ - 1); i >= 0; --i) {
      const fs::path target = folder / pngName(i);
      std::error_code undo;
      if (i < moved) fs::remove(target, undo);
      if (replaced[size_t(i)]) fs::rename(aside / pngName(i), target, undo);
    }
    return reason = "書き込めません: " + failed, false;
  }


  const AnimationExportOptions& options_;
  const int32_t fps_;
  const int total_;
  GifAnimationWriter gif_;
  WebpAnimationWriter webp_;
  fs::path tempFolder_;
};

// Empty when the options can be used; otherwise why not.
std::string optionsFault(const Document& doc, const Animation& anim,
                         const AnimationExportOptions& o) {
  if (std::string fault = animationFault(anim); !fault.empty()) return fault;
  if (doc.modelScale != 1.0f) return kExportScaledModel;
  const ExportFormatInfo& info = formatInfo(o.format);
  if (!info.animated && !info.sequence) return "アニメーションの形式ではありません";
  if (o.fps < 0 || o.fps > kMaxAnimationFps) return "fps: 範囲外の値です";
  if (o.firstFrame < 0 || o.firstFrame >= anim.length || o.lastFrame < -1 ||
      o.lastFrame >= anim.length || (o.lastFrame >= 0 && o.lastFrame < o.firstFrame))
    return "フレームの範囲が正しくありません";
  if ((o.width == 0) != (o.height == 0) || o.width < 0 || o.height < 0 ||
      o.width > kMaxPictureSide || o.height > kMaxPictureSide || !(o.scale >= kMinExportScale) ||
      !(o.scale <= kMaxExportScale))
    return "大きさが正しくありません";
  int32_t w = o.width, h = o.height;
  if (!w) scaledSize(doc.imageWidth, doc.imageHeight, o.scale, w, h);
  if (o.format == ExportFormat::WebP && (w > kWebpMaxSide || h > kWebpMaxSide))
    return "WebP の幅と高さは 16383 までです";
  if (o.path.empty()) return "書き出し先がありません";
  if (o.format == ExportFormat::PngSequence) {
    std::error_code ec;
    if (!fs::is_directory(o.path, ec)) return "フォルダがありません: " + o.path;
    if (o.baseName.empty() || o.baseName.find_first_of("/\\") != std::string::npos)
      return "ファイル名が正しくありません: " + o.baseName;
  }
  return {};
}

}  // namespace

int exportFrameCount(const Animation& anim, int32_t fps) {
  if (fps <= 0 || fps == anim.fps || anim.fps <= 0) return anim.length;
  return std::max(1, int(std::lround(double(anim.length) * fps / anim.fps)));
}

double exportFrameTime(const Animation& anim, int32_t fps, int i) {
  if (fps <= 0 || fps == anim.fps || anim.fps <= 0) return i;
  return double(i) * anim.fps / fps;
}

uint32_t frameRandomState(int frame) {
  // Frames next to each other start far apart in the sequence; frame 0 starts where a run does.
  return 1u + uint32_t(frame) * 0x9E3779B9u;
}

bool renderAnimationFrame(Document& work, const Pose& pose, int frame, const FigureLook& look,
                          int32_t width, int32_t height, FigureDrawer& drawer, ImageSlot& picture,
                          std::vector<uint8_t>& alpha) {
  const uint32_t own = script::randomSequenceState();
  script::setRandomSequenceState(frameRandomState(frame));
  applyPose(work, pose);
  script::setRandomSequenceState(own);
  return drawer.draw(work, look, width, height, 1, picture, alpha);
}

ExportResult exportAnimation(const Document& doc, const Animation& anim,
                             const AnimationExportOptions& requested,
                             const AnimationProgress& progress, std::string& reason) {
  if (reason = optionsFault(doc, anim, requested); !reason.empty()) return ExportResult::Failed;
  AnimationExportOptions options = requested;
  if (options.width == 0)
    scaledSize(doc.imageWidth, doc.imageHeight, options.scale, options.width, options.height);
  const int32_t fps = options.fps ? options.fps : anim.fps;
  // The frames asked for, counted as an animation of their own; posed at their place in `anim`.
  Animation span;
  span.fps = anim.fps;
  span.length = (options.lastFrame >= 0 ? options.lastFrame : anim.length - 1) - options.firstFrame + 1;
  const int total = exportFrameCount(span, fps);
  const int hardware = int(std::max(1u, std::thread::hardware_concurrency()));
  const int threads = std::clamp(options.threads > 0 ? options.threads : hardware, 1,
                                 std::min(kMostThreads, total));

  std::unique_ptr<SharedTextPainter> painter;
  if (doc.textPainter) painter = std::make_unique<SharedTextPainter>(*doc.textPainter);

  FrameQueue queue(total, 2 * threads + 2);
  Encoder encoder(options, fps, total);
  ExportResult result = ExportResult::Done;
  // A worker's copy of the document, ready to draw frames; null when memory ran out.
  auto makeWorker = [&]() -> std::unique_ptr<Worker> {
    try {
      auto worker = std::make_unique<Worker>(doc);
      worker->doc.ui = &silentUi();  // a frame's programs show nothing
      worker->doc.textPainter = painter.get();
      return worker;
    } catch (const std::exception&) {
      return nullptr;
    }
  };
  auto draw = [&](Worker& worker, int i) {
    bool ok = false;
    try {
      ok = prepareFrame(anim, options, fps, i, worker, queue.slot(i));
    } catch (const std::exception&) {
      ok = false;
    }
    queue.done(i, ok);
  };
  {
    // The caller's thread is a worker too: it encodes the frames in order and draws frames while
    // the next one to encode is not ready. With one thread it does everything; with more, no
    // thread only waits on the encoder, so every core draws. Each helper copies the document
    // itself, side by side with the others; the caller's thread waits for every copy before it
    // reports progress (where a front end may let the user edit).
    const int helpers = threads - 1;
    std::latch copied(helpers);
    std::atomic<bool> copyFailed = false;
    std::vector<std::jthread> running;
    // Declared after the threads, so it runs before they are joined, however this block ends.
    struct StopHelpers {
      FrameQueue& queue;
      ~StopHelpers() { queue.stop(); }
    } stopHelpers{queue};
    for (int t = 0; t < helpers; ++t) {
      running.emplace_back([&] {
        std::unique_ptr<Worker> worker = makeWorker();
        if (!worker) copyFailed = true;
        copied.count_down();
        if (!worker) return;
        for (int i; (i = queue.take()) >= 0;) draw(*worker, i);
      });
    }
    std::unique_ptr<Worker> own = makeWorker();
    if (!own) {
      reason = "メモリが足りません";
      result = ExportResult::Failed;
    }
    // The caller's thread draws as soon as its own copy is made; the helpers' copies need only be
    // done by the first progress call.
    bool allCopied = false;
    for (int i = 0; i < total && result == ExportResult::Done;) {
      int other = -1;
      if (!queue.readyOrTake(i, other)) {
        reason = "フレーム " + std::to_string(i + 1) + " を描けません";
        result = ExportResult::Failed;
        break;
      }
      if (other >= 0) {
        draw(*own, other);
        continue;
      }
      const bool added = encoder.add(i, queue.slot(i), reason);
      queue.release(i);
      if (!added) {
        result = ExportResult::Failed;
        break;
      }
      ++i;
      if (!allCopied) {
        copied.wait();
        allCopied = true;
        if (copyFailed) {
          reason = "メモリが足りません";
          result = ExportResult::Failed;
          break;
        }
      }
      if (progress && !progress(i, total)) {
        result = ExportResult::Cancelled;
        break;
      }
    }
  }  // the helpers finish their frames and end here
  if (result == ExportResult::Done && !encoder.finish(reason)) result = ExportResult::Failed;
  return result;
}

}  // namespace tovala
